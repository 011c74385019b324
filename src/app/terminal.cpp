// The terminal tab: sending AT commands typed in ATField, clearing and saving
// TermSkrin. Its lines and the log are kept by TerminalView.
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/phone_command_scope.h"
#include "app/qt_user_interface.h"
#include "app/terminal_view.h"
#include "core/atomic_file.h"
#include "phone/at_exchange.h"
#include "shell/qt_text.h"
#include "store/row_list.h"
#include "text/lines.h"

namespace missivo {

void TForm1::bsSkinButton1Click() {
  const QString typed = ATField->currentText();
  if (typed.isEmpty()) return;
  const std::string command = FromQString(typed);
  if (UpperCaseAnsi(command.substr(0, 2)) != "AT") {
    Terminal->AppendLine(command);
    return;
  }
  PhoneCommandScope running(*this);
  if (!running) return;
  std::string reply;
  Exchange->ExchangeCommand(command, reply);
  ATField->addItem(typed);
  ATField->clearEditText();
}

void TForm1::ATFieldKeyUp(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) bsSkinButton1Click();
}

void TForm1::bsSkinButton2Click() {
  Terminal->Clear();
}

void TForm1::bsSkinButton3Click() {
  if (!Save->Execute()) return;
  const Status saved =
      WriteFileAtomically(Save->FileName.toStdString(), JoinCrLf(Terminal->Lines()), kDataFileMode);
  if (!saved.ok()) bsSkinMessage1->ShowMessage(saved.message(), MessageKind::kError);
}

void TForm1::TermSkrinChange() {
  Terminal->TextChanged();
}

void TForm1::SaveTypeChange() {
  Save->DefaultExt = QStringLiteral("*.txt");
}

}  // namespace missivo
