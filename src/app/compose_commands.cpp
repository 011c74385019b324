// Composing and sending from the window: "Новое сообщение" (Ctrl+N, the
// toolbar, the "Телефон" menu), "Ответить" (Ctrl+R) on the message shown in
// the messages list, the archive or a conversation, and the send itself as a
// phone command; a message sent whole is appended to the archive.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/compose_texts.h"
#include "app/compose_window.h"
#include "app/conversation_view.h"
#include "app/image_list.h"
#include "app/main_window.h"
#include "app/phone_command_scope.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "phone/at_exchange.h"
#include "phone/dates.h"
#include "phone/message_send.h"
#include "phone/serial/com_port.h"
#include "shell/qt_text.h"
#include "store/message_fields.h"

namespace missivo {
namespace {

// The setting: whether the compose window asks for a delivery report at first.
constexpr std::string_view kDeliveryReportKey = "DeliveryReport";

// The recipient of a reply to `row`: its From when a contact name is on it,
// else its number.
QString ReplyRecipient(const Row& row) {
  if (!ContactInFrom(SubItem(row, kFrom)).empty()) return Utf8ToQString(BestFrom(row));
  return Utf8ToQString(BestNumber(row));
}

}  // namespace

void TForm1::BuildComposeCommands() {
  N25 = new QAction(ImageList::Icon(kImageRowOutgoing), QString(), this);
  N25->setObjectName(QStringLiteral("N25"));
  N25->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
  N26 = new QAction(this);
  N26->setObjectName(QStringLiteral("N26"));
  N26->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
  N1->addSeparator();
  N1->addAction(N25);
  N1->addAction(N26);

  ComposeB = new QToolButton(bsSkinToolBar1);
  ComposeB->setObjectName(QStringLiteral("ComposeB"));
  ComposeB->setDefaultAction(N25);
  ComposeB->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  ComposeB->setAutoRaise(true);
  // Beside "Считать", before "Выход".
  bsSkinToolBar1->insertWidget(bsSkinToolBar1->actions().value(3), ComposeB);

  connect(N25, &QAction::triggered, this, [this] { OpenCompose(QString()); });
  connect(N26, &QAction::triggered, this, &TForm1::ReplyClick);
}

void TForm1::ApplyComposeLanguage() {
  N25->setText(LangString(compose_texts::kNewMessage));
  N26->setText(LangString(compose_texts::kReply));
  List4Rows->SetDeliveredWord(LangString(compose_texts::kDelivered));
}

void TForm1::OpenCompose(const QString& to) {
  if (Compose != nullptr) Compose->close();
  Compose = new ComposeWindow(
      Lang, List2Rows->rows(),
      [this](const std::string& who, const std::string& text, bool report) {
        return SendComposed(who, text, report);
      },
      ReadSetting(kDeliveryReportKey) == "true", this);
  // The box's state is the default of the next message.
  connect(Compose->Report, &QCheckBox::toggled, this,
          [this](bool on) { WriteSetting(kDeliveryReportKey, on ? "true" : "false"); });
  Compose->setAttribute(Qt::WA_DeleteOnClose);
  if (!to.isEmpty()) Compose->SetRecipient(to);
  Compose->show();
  Compose->activateWindow();
}

void TForm1::ReplyClick() {
  const QWidget* tab = bsSkinPageControl1->currentWidget();
  const Row* row = nullptr;
  if (tab == CONVTAB) {
    const Conversation* current = Conversations->Current();
    if (current != nullptr && !current->rows.empty())
      row = &List4Rows->rows()[current->rows.back()];
  } else if (tab == SMSTAB || tab == ARCHIVETAB) {
    const QTreeView* view = tab == SMSTAB ? List1 : List4;
    const RowListModel* list = tab == SMSTAB ? List1Rows : List4Rows;
    const std::ptrdiff_t at = CoreRow(view->model(), view->currentIndex().row());
    if (at >= 0 && static_cast<std::size_t>(at) < list->rows().size())
      row = &list->rows()[static_cast<std::size_t>(at)];
  }
  if (row == nullptr) return;
  OpenCompose(ReplyRecipient(*row));
}

bool TForm1::SendComposed(const std::string& to, const std::string& text, bool report) {
  PhoneCommandScope command(*this);
  if (!command) return false;
  const std::string failed = LangText(compose_texts::kNotSent) + " ";
  const Result<std::string> number = RecipientNumber(RecipientOf(to), List2Rows->rows());
  if (!number.ok()) {
    bsSkinMessage1->ShowMessage(failed + number.message(), MessageKind::kError);
    return false;
  }
  if (!Comm->Active()) {
    ShowNoPhone();
    bsSkinMessage1->ShowMessage(failed + LangText("Str55"), MessageKind::kError);
    return false;
  }
  SendReport sent;
  try {
    sent = SendMessage(*Exchange, PhoneProfile(), number.value(), text,
                       {.status_report = report, .reference = std::nullopt});
  } catch (const EComError& error) {  // identifying the device failed
    sent.reason = error.what();
  } catch (const ESilentAbort&) {
    return false;
  }
  ShowDevice();
  if (!sent.AllConfirmed()) {
    bsSkinMessage1->ShowMessage(failed + sent.Summary(), MessageKind::kError);
    return false;
  }
  List4Rows->list().rows.push_back(
      MakeSentRow(number.value(), text, sent, List2Rows->rows(), Lang, MakeDate(), IsoTimeNow()));
  List4Rows->Refresh();
  UpdateTabCaptions("Str73");
  (void)SaveArchive();  // a failure was shown; the row stays in the list for the next save
  ProgressText->setText(LangString(compose_texts::kSent) + QStringLiteral(": ") +
                        QString::fromStdString(sent.Summary()));
  return true;
}

}  // namespace missivo
