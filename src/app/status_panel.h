// Panel1 of the status bar: a small picture of ImageList1 and a centred text.
#pragma once

#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

#include "app/image_list.h"

namespace missivo {

class StatusPanel : public QWidget {
 public:
  StatusPanel(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    picture_ = new QLabel(this);
    picture_->setFixedSize(ImageList::kSmallSize, ImageList::kSmallSize);
    text_ = new QLabel(this);
    text_->setAlignment(Qt::AlignCenter);
    layout->addStretch();
    layout->addWidget(picture_);
    layout->addWidget(text_);
    layout->addStretch();
    setMinimumWidth(137);
  }

  void SetText(const QString& text) { text_->setText(text); }
  QString Text() const { return text_->text(); }

  void SetImage(int image) {
    image_ = image;
    const QSize size(ImageList::kSmallSize, ImageList::kSmallSize);
    picture_->setPixmap(ImageList::Icon(image).pixmap(size, devicePixelRatioF()));
  }
  int Image() const { return image_; }

 private:
  QLabel* picture_;
  QLabel* text_;
  int image_ = -1;
};

}  // namespace missivo
