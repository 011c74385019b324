// The frame of the main window: toolbar, progress gauge, tabs with the preview
// below a splitter, and the status bar.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/guard.h"
#include "app/image_list.h"
#include "app/main_window.h"
#include "app/status_panel.h"

namespace missivo {
namespace {

QToolButton* ToolButton(QToolBar* bar, const char* name, const QString& caption,
                        const QString& hint, int image) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(caption);
  button->setToolTip(hint);
  button->setIcon(ImageList::Icon(image));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  bar->addWidget(button);
  return button;
}

QWidget* Page(QTabWidget* tabs, const char* name, const QString& caption, int image) {
  auto* page = new QWidget(tabs);
  page->setObjectName(QString::fromLatin1(name));
  tabs->addTab(page, ImageList::Icon(image), caption);
  return page;
}

}  // namespace

void TForm1::BuildFrame() {
  bsSkinToolBar1 = new QToolBar(this);
  bsSkinToolBar1->setObjectName(QStringLiteral("bsSkinToolBar1"));
  bsSkinToolBar1->setMovable(false);
  bsSkinToolBar1->setFloatable(false);
  bsSkinToolBar1->setIconSize(QSize(ImageList::kSmallSize, ImageList::kSmallSize));
  bsSkinToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, bsSkinToolBar1);
  ConnB = ToolButton(bsSkinToolBar1, "ConnB", QStringLiteral("Подключить"),
                     QStringLiteral("Подключить устройство"), kImageConnect);
  bsSkinSpeedButton2 = ToolButton(bsSkinToolBar1, "bsSkinSpeedButton2", QStringLiteral("Отключить"),
                                  QStringLiteral("Отключить устройство"), kImageDisconnect);
  bsSkinSpeedButton3 = ToolButton(bsSkinToolBar1, "bsSkinSpeedButton3", QStringLiteral("Считать"),
                                  QStringLiteral("Считать сообщения"), kImageRead);
  bsSkinSpeedButton5 = ToolButton(bsSkinToolBar1, "bsSkinSpeedButton5", QStringLiteral("Выход"),
                                  QStringLiteral("Выход"), kImageExit);
  bsSkinSpeedButton1 = ToolButton(bsSkinToolBar1, "bsSkinSpeedButton1",
                                  QStringLiteral("Защита програмы"), QString(), kImageProtect);
  connect(bsSkinSpeedButton5, &QToolButton::clicked, this, &TForm1::bsSkinSpeedButton5Click);
  connect(bsSkinSpeedButton1, &QToolButton::clicked, this,
          Guarded([this] { bsSkinSpeedButton1Click(); }));

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("ClientArea"));
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  ProgressBar = new QProgressBar(central);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setFixedHeight(4);
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  layout->addWidget(ProgressBar);

  bsSkinSplitter1 = new QSplitter(Qt::Vertical, central);
  bsSkinSplitter1->setObjectName(QStringLiteral("bsSkinSplitter1"));
  bsSkinSplitter1->setHandleWidth(3);
  bsSkinSplitter1->setChildrenCollapsible(false);
  layout->addWidget(bsSkinSplitter1, 1);

  bsSkinPageControl1 = new QTabWidget(bsSkinSplitter1);
  bsSkinPageControl1->setObjectName(QStringLiteral("bsSkinPageControl1"));
  bsSkinPageControl1->setIconSize(QSize(ImageList::kSmallSize, ImageList::kSmallSize));
  bsSkinPageControl1->setDocumentMode(false);
  SMSTAB = Page(bsSkinPageControl1, "SMSTAB", QStringLiteral("Сообщения"), kImageTabMessages);
  ARCHIVETAB = Page(bsSkinPageControl1, "ARCHIVETAB", QStringLiteral("Архив"), kImageTabArchive);
  CONVTAB = Page(bsSkinPageControl1, "CONVTAB", QStringLiteral("Переписка"), kImageTabMessages);
  bsSkinTabSheet1 =
      Page(bsSkinPageControl1, "bsSkinTabSheet1", QStringLiteral("Справочник"), kImageTabPhonebook);
  bsSkinTabSheet6 =
      Page(bsSkinPageControl1, "bsSkinTabSheet6", QStringLiteral("Терминал"), kImageTabTerminal);
  bsSkinTabSheet5 =
      Page(bsSkinPageControl1, "bsSkinTabSheet5", QStringLiteral("Настройки"), kImageTabSettings);
  bsSkinTabSheet2 =
      Page(bsSkinPageControl1, "bsSkinTabSheet2", QStringLiteral("О Программе"), kImageTabAbout);
  bsSkinPageControl1->setCurrentWidget(SMSTAB);
  connect(bsSkinPageControl1, &QTabWidget::currentChanged, this, &TForm1::bsSkinPageControl1Change);

  Text1 = new QPlainTextEdit(bsSkinSplitter1);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setReadOnly(true);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text1->setMinimumHeight(40);
  bsSkinSplitter1->addWidget(bsSkinPageControl1);
  bsSkinSplitter1->addWidget(Text1);
  bsSkinSplitter1->setStretchFactor(0, 1);
  bsSkinSplitter1->setStretchFactor(1, 0);
  bsSkinSplitter1->setSizes({400, 139});
  setCentralWidget(central);

  bsSkinStatusBar1 = new QStatusBar(this);
  bsSkinStatusBar1->setObjectName(QStringLiteral("bsSkinStatusBar1"));
  bsSkinStatusBar1->setSizeGripEnabled(true);
  setStatusBar(bsSkinStatusBar1);
  Panel1 = new StatusPanel(QStringLiteral("Panel1"), bsSkinStatusBar1);
  Panel1->SetText(QStringLiteral("Статус: Отключен"));
  Panel1->SetImage(kImageStatusDisconnected);
  DevicePanel = new QLabel(bsSkinStatusBar1);
  DevicePanel->setObjectName(QStringLiteral("DevicePanel"));
  DevicePanel->setTextFormat(Qt::PlainText);  // the device's own words
  ProgressText = new QLabel(bsSkinStatusBar1);
  ProgressText->setObjectName(QStringLiteral("ProgressText"));
  bsSkinStatusBar1->addWidget(Panel1);
  bsSkinStatusBar1->addWidget(DevicePanel);
  bsSkinStatusBar1->addWidget(ProgressText, 1);
}

}  // namespace missivo
