// A check box whose click handler runs on every user click and every time the
// program sets its state, even to the state it already has.
#pragma once

#include <QCheckBox>

namespace missivo {

class TCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  TCheckBox(const QString& text, const QString& name, bool checked, QWidget* parent)
      : QCheckBox(text, parent) {
    setObjectName(name);
    setChecked(checked);
    connect(this, &QCheckBox::clicked, this, [this] { emit Click(); });
  }

  // Sets the state and runs the click handler.
  void SetChecked(bool checked) {
    setChecked(checked);
    emit Click();
  }

 signals:
  void Click();
};

}  // namespace missivo
