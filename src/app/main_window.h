// TForm1: the program's main window. It owns what lives for the whole run (the
// row lists, the settings store, the language lines, the dialogs) and its
// handlers call the core. The controls are public members under their names,
// and each carries its name as objectName too.
//
// The window is built by several files: window_frame.cpp (toolbar, progress,
// tabs, preview, status bar), window_menus.cpp, window_tabs.cpp (the lists, the
// archive edit panel, the terminal), settings_tab.cpp, about_tab.cpp; the
// start and exit sequences are in startup.cpp, the languages in
// language_menu.cpp, the skins in skin_menu.cpp.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/skin_engine.h"
#include "core/status.h"
#include "phone/device_identity.h"
#include "phone/phone_command_guard.h"
#include "phone/serial/com_types.h"
#include "shell/settings_file.h"
#include "store/data_files.h"
#include "store/program_lock.h"
#include "store/row_list.h"
#include "store/stored_list.h"
#include "text/language.h"
#include "transfer/save2_choice.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;

namespace missivo {

class AtExchange;
class AutoBackup;
class EComError;
class QtMainThreadInvoker;
class TCeloCom;
class TComPort;
class TerminalView;
class QtUserInterface;
class RowListModel;
class RowFilterProxy;
class SearchBar;
class ConversationView;
class ComposeWindow;
class StatusPanel;
class TCheckBox;
class TFileDialog;
class TForm2;
class TPassForm;
struct ReadCommandResult;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  struct Options {
    // The folder holding Data, Language and Skins.
    std::filesystem::path program_folder;
    // The settings file; empty for the user's own (TRzRegIniFile::DefaultSettingsFile()).
    QString settings_file;
    // Tests: no dialog or message box is ever shown; messages are recorded,
    // questions and dialogs take their scripted answers (see QtUserInterface,
    // TFileDialog).
    bool scripted_dialogs = false;
  };

  // Builds the window and runs FormCreate.
  explicit TForm1(Options options, QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- Controls, top to bottom ----
  // "Файл"
  QMenu* FIle1 = nullptr;
  QAction* new1 = nullptr;  // "Сохранить"
  QAction* N4 = nullptr;    // "Сохранить все"
  QAction* N9 = nullptr;    // "Выход"
  // "Телефон"
  QMenu* N1 = nullptr;
  QAction* N10 = nullptr;  // "Подключить"
  QAction* N11 = nullptr;  // "Отключить"
  QAction* N18 = nullptr;  // "Считать сообщения"
  QAction* N19 = nullptr;  // "Считать справочник"
  QAction* N25 = nullptr;  // "Новое сообщение" (Ctrl+N)
  QAction* N26 = nullptr;  // "Ответить" (Ctrl+R)
  // "Дополнительно"
  QMenu* N2 = nullptr;
  QMenu* N14 = nullptr;  // "Язык", filled at start
  QMenu* N17 = nullptr;  // "Конвертировать"
  QAction* P2kTools1 = nullptr;
  QAction* Missivo11 = nullptr;
  QAction* SmsBackup1 = nullptr;  // "Резервная копия SMS (XML)"
  QAction* VCard1 = nullptr;      // "Контакты (vCard)"
  QMenu* SkinMenu = nullptr;      // "Оформление", filled at start
  QAction* N6 = nullptr;          // "Защита программы"
  QAction* N3 = nullptr;          // "О Программе"
  // Popup menu of List1.
  QMenu* bsSkinPopupMenu2 = nullptr;
  QAction* MenuItem1 = nullptr;  // "Удалить"
  QAction* MenuItem2 = nullptr;  // "Удалить все"
  QAction* MenuItem3 = nullptr;  // "Сохранить"
  QAction* MenuItem4 = nullptr;  // "Сохранить все"
  // Popup menu of List4.
  QMenu* bsSkinPopupMenu1 = nullptr;
  QAction* N21 = nullptr;  // "Удалить"
  QAction* N22 = nullptr;  // "Удалить все"
  QAction* N23 = nullptr;  // "Сохранить"
  QAction* N24 = nullptr;  // "Сохранить все"

  QToolBar* bsSkinToolBar1 = nullptr;
  QToolButton* ConnB = nullptr;               // "Подключить"
  QToolButton* bsSkinSpeedButton2 = nullptr;  // "Отключить"
  QToolButton* bsSkinSpeedButton3 = nullptr;  // "Считать"
  QToolButton* bsSkinSpeedButton5 = nullptr;  // "Выход"
  QToolButton* bsSkinSpeedButton1 = nullptr;  // "Защита програмы"
  QToolButton* ComposeB = nullptr;            // "Новое сообщение"

  QProgressBar* ProgressBar = nullptr;
  QSplitter* bsSkinSplitter1 = nullptr;
  QTabWidget* bsSkinPageControl1 = nullptr;
  QWidget* SMSTAB = nullptr;
  QWidget* ARCHIVETAB = nullptr;
  QWidget* CONVTAB = nullptr;          // "Переписка": the conversations
  QWidget* bsSkinTabSheet1 = nullptr;  // "Справочник"
  QWidget* bsSkinTabSheet6 = nullptr;  // "Терминал"
  QWidget* bsSkinTabSheet5 = nullptr;  // "Настройки"
  QWidget* bsSkinTabSheet2 = nullptr;  // "О Программе"
  QPlainTextEdit* Text1 = nullptr;     // preview of the current message
  QStatusBar* bsSkinStatusBar1 = nullptr;
  StatusPanel* Panel1 = nullptr;
  QLabel* DevicePanel = nullptr;  // maker and model of the connected device, once known
  QLabel* ProgressText = nullptr;

  // The lists and their rows (List1: messages read, List4: archive, List2: phonebook).
  QTreeView* List1 = nullptr;
  QTreeView* List4 = nullptr;
  QTreeView* List2 = nullptr;
  RowListModel* List1Rows = nullptr;
  RowListModel* List4Rows = nullptr;
  RowListModel* List2Rows = nullptr;
  // What List1 and List4 show: their rows through the search bars' filters.
  // Commands map selected view rows to core rows through row_model.h.
  SearchBar* List1Search = nullptr;
  SearchBar* List4Search = nullptr;
  RowFilterProxy* List1Shown = nullptr;
  RowFilterProxy* List4Shown = nullptr;
  ConversationView* Conversations = nullptr;
  // The compose window while it is open.
  QPointer<ComposeWindow> Compose;

  // The archive edit panel, hidden until F2.
  QWidget* SMSEdit = nullptr;
  QLabel* Label3 = nullptr;           // "Дата/Время:"
  QLabel* bsSkinStdLabel5 = nullptr;  // "Индекс:"
  QLabel* bsSkinStdLabel6 = nullptr;  // "Тип:"
  QLabel* bsSkinStdLabel7 = nullptr;  // "Сообщение:"
  QLineEdit* E2 = nullptr;
  QLineEdit* E3 = nullptr;
  QLineEdit* E4 = nullptr;
  QPlainTextEdit* M1 = nullptr;
  QPushButton* bsSkinButton4 = nullptr;  // "Сохранить"
  QPushButton* CancelEdit = nullptr;     // "Отмена"

  // The terminal.
  QComboBox* ATField = nullptr;
  QPushButton* bsSkinButton1 = nullptr;  // "Отправить"
  QPushButton* bsSkinButton2 = nullptr;  // "Очистить"
  QPushButton* bsSkinButton3 = nullptr;  // "Сохранить"
  QPlainTextEdit* TermSkrin = nullptr;

  // The settings tab.
  QGroupBox* bsSkinGroupBox1 = nullptr;  // "Настройки порта"
  QLabel* bsSkinStdLabel2 = nullptr;     // "Скорость:"
  QComboBox* Speed = nullptr;
  QLabel* bsSkinStdLabel4 = nullptr;  // "Порт:"
  QComboBox* PT = nullptr;
  // "Phone kind": automatic, the phone family, standard (the PhoneKind order).
  QLabel* PhoneKindLabel = nullptr;
  QComboBox* PhoneKindBox = nullptr;
  TCheckBox* Check4 = nullptr;
  QGroupBox* bsSkinGroupBox2 = nullptr;  // "Настройки чтения"
  TCheckBox* Check6 = nullptr;
  TCheckBox* Check7 = nullptr;
  TCheckBox* Check8 = nullptr;
  TCheckBox* Check9 = nullptr;
  TCheckBox* Check10 = nullptr;
  TCheckBox* Check13 = nullptr;
  TCheckBox* AutoRead = nullptr;         // read the messages at every connection
  QGroupBox* bsSkinGroupBox3 = nullptr;  // "Настройка программы"
  TCheckBox* Check3 = nullptr;
  TCheckBox* Check11 = nullptr;

  QTreeWidget* AboutTree = nullptr;

  // ---- Non-visual members ----
  TRzRegIniFile RzRegIniFile1;
  LanguageLines Lang;
  SkinEngine Skins;
  TFileDialog* Save = nullptr;   // terminal save
  TFileDialog* Save2 = nullptr;  // export
  TFileDialog* Open1 = nullptr;  // imports
  QTimer* Timer3 = nullptr;
  // The message boxes, questions, progress and password prompt of the window.
  std::unique_ptr<QtUserInterface> bsSkinMessage1;

  // The windows made after this one (the program start attaches them).
  TForm2* Form2 = nullptr;
  TPassForm* PassForm = nullptr;
  void AttachWindows(TForm2* splash, TPassForm* password_window);

  // ---- Run state ----
  const std::filesystem::path& ProgramFolder() const { return program_folder_; }
  std::filesystem::path DataFolder() const { return Files().folder; }
  // Language file list and skin file list, by menu position.
  std::vector<std::string> LanguageFiles;
  std::vector<std::string> SkinFiles;
  // The sort state the three lists share.
  SortState Sort;
  // The program lock: password in force, lock flag, needs-password flags and
  // the terminate request of the start.
  LockState Lock;
  DataFiles Files() const { return DataFiles(program_folder_); }
  // The data files as this window holds them: the folder lock shared with
  // every other Missivo program on the folder, and the archive and phonebook
  // files with what they held when this window last read or wrote them.
  DataStore& Store() { return *store_; }

  // Text of a language key ("Str81"), Windows-1251 and for widgets.
  std::string LangText(std::string_view key) const { return Lang.LangText(key); }
  QString LangString(std::string_view key) const;

  // ---- Start and exit ----
  void FormCreate();
  // The start sequence; false when the program must end at once (nothing saved).
  bool FormShow();
  void Timer3Timer();
  void BuildLanguageMenu();
  void LanguageItemClick(QAction* item);
  void ApplyLanguage();
  void BuildSkinMenu();
  void SkinItemClick(QAction* item);
  void DefaultSkinItemClick(QAction* item);
  void ProbeDataFiles();
  void LoadSettingsAndLists();
  // The exit sequence; the window always closes after it.
  void FormCloseQuery();

  // ---- Settings handlers: each writes its key at once ----
  void Check3Click();
  void Check4Click();
  void Check6Click();
  void Check7Click();
  void Check8Click();
  void Check9Click();
  void Check10Click();
  void Check11Click();
  void Check13Click();
  void AutoReadClick();
  void SpeedChange();
  void PTChange();
  void PhoneKindChange();
  void PTCloseUp();
  // The settings of the section "Missivo".
  bool SettingExists(std::string_view key) const;
  std::string ReadSetting(std::string_view key, std::string_view fallback = {}) const;
  void WriteSetting(std::string_view key, std::string_view value);
  // Writes "true" or "false" as the box is checked or not.
  void WriteCheck(std::string_view key, const TCheckBox* box);

  // ---- Commands ----
  void N3Click();
  // The password window, from the toolbar and from "Дополнительно".
  void bsSkinSpeedButton1Click();
  void N6Click();
  void N9Click();
  void bsSkinSpeedButton5Click();
  void bsSkinPageControl1Change();
  // Opens the serial port with the speed and device shown in the settings tab,
  // as the connect command does. Port failures leave by exception.
  virtual void ConnectPort();
  // Closes the serial port when it is open.
  void ClosePort();
  // The line speed Speed shows.
  int SpeedValue() const;

  // A second start on the program folder asked for this window: it comes to
  // the front (a dialog open on it, such as the unlock prompt, first).
  void BringToFront();
  int TimesRaised() const { return raised_; }

  // Shows an exception that reached the application loop in the error box.
  void ShowApplicationError(std::exception_ptr error);

  // ---- Phone link, phone commands and list commands ----
  // connection.cpp: the serial port with its invoker onto this thread, the
  // device watch and the port list; terminal.cpp: the terminal and its log;
  // phone_commands.cpp: reading, the phonebook, deleting on the phone and one
  // phone command at a time; list_commands.cpp: sorting, keys, preview, the
  // edit panel, deleting list rows and the tab captions.
  std::unique_ptr<QtMainThreadInvoker> CommInvoker;
  std::unique_ptr<TComPort> Comm;
  TCeloCom* CeloCom1 = nullptr;
  std::unique_ptr<TerminalView> Terminal;  // TermSkrin's lines and the log
  std::unique_ptr<AtExchange> Exchange;    // every conversation with the phone
  // The device profile of the connection, chosen at its first phone command.
  ConnectionProfile Profile;
  // The profile, identifying the device first when the setting asks for it;
  // shows maker and model beside the status. Call inside a phone command.
  const DeviceProfile& PhoneProfile();
  void ShowDevice();

  void ConnBClick();
  // Panel1 shows whether the port is open: the connected or the disconnected
  // picture and status text.
  void ShowPortState();
  // The status bar says that no phone is connected ("Нет связи"), for the
  // phone commands that run with the port closed.
  void ShowNoPhone();
  void N10Click();
  void bsSkinSpeedButton2Click();
  void N11Click();
  void CommAfterOpen();
  void CommAfterClose();
  void CommLineError(TLineErrors errors);
  void CommError(const EComError& error, TComAction& action);
  void CeloCom1USBArrival();
  void CeloCom1USBRemove();
  // PT lists the serial devices present; the text in it stays.
  void RefreshPortList();

  void bsSkinButton1Click();
  void ATFieldKeyUp(int key);
  void bsSkinButton2Click();
  void bsSkinButton3Click();
  void TermSkrinChange();
  void SaveTypeChange();

  void bsSkinSpeedButton3Click();
  // The read command with the read settings as they are (F3 and automatic backup).
  ReadCommandResult ReadMessages();
  // Automatic backup: the read at every connection, its notification, the tray.
  AutoBackup* AutoBackup1 = nullptr;
  void N18Click();
  void N19Click();
  // The phonebook read into List2 and saved; false when the phone's range
  // reply was unusable (List2 and its file stay as they were).
  bool ReadPhonebook();
  void ResolveArchiveNames();
  void ResolveMessageNames();
  void MenuItem1Click();
  void MenuItem2Click();  // with a filter on, asks whether only the rows shown go
  // One phone command at a time: while one holds the guard the others are
  // disabled (PhoneCommandScope, phone_command_scope.h).
  PhoneCommandGuard PhoneGuard;
  bool PhoneCommandRunning() const { return PhoneGuard.Busy(); }

  void List1ColumnClick(int column);
  void List4ColumnClick(int column);
  void List2ColumnClick(int column);
  void List1KeyDown(int key);
  void List1KeyUp(int key);
  void List4KeyDown(int key);
  void List4KeyUp(int key);
  void List2KeyUp(int key);
  void List1Click();
  void List4Click();
  void List1SelectItem(int row);
  void N21Click();
  void N22Click();
  void bsSkinButton4Click();
  void CancelEditClick();
  // The tab titles with their row counts; the archive's title is the language
  // text of `archive_title` (Str80 at a paint, Str73 at a change of its rows).
  void UpdateTabCaptions(const char* archive_title = "Str80");

  // ---- Composing and sending (compose_commands.cpp) ----
  // Opens the compose window, addressed to `to` when it is not empty.
  void OpenCompose(const QString& to);
  // "Ответить": the compose window addressed to the sender of the message
  // shown (List1 or List4 current row, or the conversation shown).
  void ReplyClick();
  // The compose window's Send: the recipient (a number, a contact name or
  // "name (number)") and the text, UTF-8, with a delivery report or not. Sends
  // as a phone command, tells the user what went, and appends a message sent
  // whole to the archive.
  bool SendComposed(const std::string& to, const std::string& text, bool report);

  // ---- Export and import (transfer_commands.cpp) ----
  // "Сохранить" and "Сохранить все" of the "Файл" menu: List1 on SMSTAB, List4
  // on ARCHIVETAB, nothing on the other tabs.
  void new1Click();
  void N4Click();
  // The same items of the popup menus of List1 and List4.
  void MenuItem3Click();
  void MenuItem4Click();
  void N23Click();
  void N24Click();
  // The user picked another file type in Save2.
  void Save2TypeChange(int file_type);
  // "Конвертировать": append a P2kTools file or a version 1.x inbox to List4.
  void P2kTools1Click();
  void Missivo11Click();
  // "Конвертировать" (exchange_commands.cpp): an SMS backup into List4, vCard
  // contacts into List2, each without what is already there.
  void SmsBackup1Click();
  void VCard1Click();
  // The file type and default extension Save2 keeps between exports.
  Save2Choice Save2Type;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildFrame();
  void BuildMessageTabs();
  void BuildTerminalTab();
  void BuildSettingsTab();
  void BuildAboutTab();
  void BuildDialogs();
  void ConnectSettingsHandlers();
  void LoadOptions();
  void LoadList(RowListModel* list, StoredList& file);
  bool PassFormOk();
  void LoadCheck(std::string_view key, TCheckBox* box);
  void MakeFolders();
  void ConnectTransferCommands();  // transfer_commands.cpp
  void ConnectExchangeCommands();  // exchange_commands.cpp
  void BuildComposeCommands();     // compose_commands.cpp
  void ApplyComposeLanguage();

  std::filesystem::path program_folder_;
  std::unique_ptr<DataStore> store_;
  bool closing_done_ = false;
  bool exit_requested_ = false;  // "Выход": the window closes even to a tray

  // Other programs' changes of the data files (data_watch.cpp): the Data
  // folder is watched; a change is taken in once no command of this window
  // is running that holds row positions.
  void WatchDataFiles();
  void TakeInDataChanges();
  bool CommandHoldsRows() const;
  class QFileSystemWatcher* data_watch_ = nullptr;
  QTimer* data_change_timer_ = nullptr;
  int raised_ = 0;

  // Phone link and list commands.
  void BuildPhoneLink();
  void ShutDownPhoneLink();
  void ConnectListHandlers();
  void ConnectFromDeviceWatch();
  void PhoneGuardChange(bool busy);
  void DeleteOnPhone(bool ask, bool every_row);
  Status SaveArchive();
  // The preview of the row `view` shows at `view_row`, its matches marked.
  void ShowPreview(const QTreeView* view, const RowListModel* list, int view_row);
  // The archive edit panel for the archive row `row` (F2, Enter, double-click).
  void OpenArchiveEdit(std::ptrdiff_t row);
  // search_commands.cpp: the search bars, the conversations, opening a row.
  void ConnectSearch();
  void ApplySearchLanguage();
  void RestoreSearchState();
  // Writes the search bars' state to the settings (half a second after the
  // last change, and at exit).
  void SaveSearchState();
  void SearchChanged(SearchBar* bar, RowFilterProxy* shown);
  void HighlightPreview();
  void FindClick();
  void OpenRow(QTreeView* view, const QModelIndex& index);
  bool connect_pending_ = false;      // a device-watch connect waits for the running command
  bool hang_up_shown_ = false;        // "device not found" was shown for the port's hang-up
  bool close_after_command_ = false;  // the window was closed while a phone command ran
  std::size_t edit_row_ = 0;          // the archive row the edit panel shows
  QTimer* search_save_ = nullptr;     // SaveSearchState after the typing stops
  QString edit_text_;                 // M1 as the panel opened, to tell an untouched text
};

}  // namespace missivo
