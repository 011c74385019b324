// Finding and reading with an archive at the list file's limit (65,535 rows of
// 70 to 160 random Cyrillic letters from 5,000 numbers; every 13th row from
// one number, so that one conversation holds 5,000 messages):
//   - one filter step as the user types into the archive's search bar, with
//     the list repainted, and the longest stall of the event loop while a
//     word is typed at a quick typist's pace;
//   - the searcher's index and one pass of it, in the core;
//   - grouping into conversations;
//   - opening the conversation of 5,000 messages.
// Run on Qt's offscreen platform:
//   QT_QPA_PLATFORM=offscreen build-rel/bench/app/search_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "app/conversation_view.h"
#include "app/main_window.h"
#include "app/row_filter_proxy.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "full_archive.h"
#include "store/conversations.h"
#include "store/row_search.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

constexpr char kBigSender[] = "\xCC\xE0\xEC\xE0 (+79035550101)";  // "Мама (+79035550101)"

const std::vector<Row>& Archive() {
  static const std::vector<Row> rows = [] {
    std::vector<Row> made = FullArchive();
    for (std::size_t i = 0; i < made.size(); i += 13)
      if (i / 13 < 5000) made[i].sub_items[kFrom] = kBigSender;
    return made;
  }();
  return rows;
}

// What a user types, letter by letter, then takes back: "про" and back.
const QString kWord = QString::fromUtf8("про");

void BM_IndexArchive(benchmark::State& state) {
  for (auto _ : state) {
    SearchIndex index(Archive());
    benchmark::DoNotOptimize(index.size());
  }
}
BENCHMARK(BM_IndexArchive)->Unit(benchmark::kMillisecond);

void BM_MatchWholeArchive(benchmark::State& state) {
  const SearchIndex index(Archive());
  RowFilter filter;
  filter.text = "про";
  std::size_t found = 0;
  for (auto _ : state) {
    const std::vector<bool> matches = index.Matches(filter);
    found = static_cast<std::size_t>(std::count(matches.begin(), matches.end(), true));
  }
  state.counters["rows_found"] = static_cast<double>(found);
}
BENCHMARK(BM_MatchWholeArchive)->Unit(benchmark::kMillisecond);

void BM_GroupConversations(benchmark::State& state) {
  std::size_t groups = 0;
  for (auto _ : state)
    groups = GroupConversations(Archive()).size();
  state.counters["conversations"] = static_cast<double>(groups);
}
BENCHMARK(BM_GroupConversations)->Unit(benchmark::kMillisecond);

// A window with the full archive on its archive tab, shown.
struct Window {
  Window() {
    TForm1::Options options;
    options.program_folder = folder;
    options.settings_file = QString::fromStdString((folder / "settings.ini").string());
    options.scripted_dialogs = true;
    form = std::make_unique<TForm1>(options);
    form->List4Rows->SetRows(Archive());
    form->bsSkinPageControl1->setCurrentWidget(form->ARCHIVETAB);
    form->show();
    QCoreApplication::processEvents();
  }
  ~Window() {
    form.reset();
    std::filesystem::remove_all(folder);
  }
  std::filesystem::path folder = [] {
    char pattern[] = "/tmp/missivo-bench-XXXXXX";
    return std::filesystem::path(::mkdtemp(pattern));
  }();
  std::unique_ptr<TForm1> form;
};

// One keystroke in the search field: a letter of "про" typed, or taken back,
// and the list painted with the rows shown.
void BM_FilterStepAsTheUserTypes(benchmark::State& state) {
  Window window;
  QLineEdit* field = window.form->List4Search->Field;
  QTreeView* list = window.form->List4;
  // The first step makes the searcher's index; it is measured apart above.
  field->setText(kWord.left(1));
  field->clear();
  int step = 0;
  for (auto _ : state) {
    const int phase = step++ % (2 * kWord.size());
    if (phase < kWord.size()) {
      field->insert(kWord.mid(phase, 1));
    } else {
      field->backspace();
    }
    list->viewport()->repaint();
  }
  state.counters["rows_shown_last"] = window.form->List4Shown->ShownCount();
}
BENCHMARK(BM_FilterStepAsTheUserTypes)->Unit(benchmark::kMillisecond);

// "про" typed and taken back at one key every 40 ms through the event loop;
// the longest time the loop did not come round (a 0 ms timer's ticks).
// The index is made while the window is idle after the rows came; the
// longest of its steps is reported apart (index_step_ms).
void BM_LongestStallWhileTyping(benchmark::State& state) {
  Window window;
  QLineEdit* field = window.form->List4Search->Field;
  double longest_ms = 0;
  double index_step_ms = 0;
  QElapsedTimer step;
  while (!window.form->List4Shown->IndexReady()) {
    step.start();
    QCoreApplication::processEvents();
    index_step_ms = std::max(index_step_ms, static_cast<double>(step.nsecsElapsed()) / 1e6);
  }
  for (auto _ : state) {
    QEventLoop loop;
    QElapsedTimer since_tick;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      longest = std::max(longest, since_tick.nsecsElapsed());
      since_tick.restart();
    });
    int keys = 0;
    QTimer typist;
    typist.setInterval(40);
    QObject::connect(&typist, &QTimer::timeout, [&] {
      if (keys < kWord.size()) {
        field->insert(kWord.mid(keys, 1));
      } else if (keys < 2 * kWord.size()) {
        field->backspace();
      } else {
        loop.quit();
      }
      ++keys;
    });
    since_tick.start();
    tick.start();
    typist.start();
    loop.exec();
    longest_ms = std::max(longest_ms, static_cast<double>(longest) / 1e6);
  }
  state.counters["longest_stall_ms"] = longest_ms;
  state.counters["index_step_ms"] = index_step_ms;
}
BENCHMARK(BM_LongestStallWhileTyping)->Unit(benchmark::kMillisecond)->Iterations(5);

// The conversation of 5,000 messages opened from the correspondents list,
// until the chat is painted.
void BM_OpenConversationOf5000(benchmark::State& state) {
  RowListModel archive(static_cast<int>(kMessageColumns));
  archive.SetRows(Archive());
  ConversationView view(&archive);
  view.resize(900, 600);
  view.show();
  QCoreApplication::processEvents();
  int big = -1;
  for (int row = 0; row < view.People->model()->rowCount(); ++row)
    if (view.People->model()->index(row, 1).data().toString() == QStringLiteral("5000")) big = row;
  if (big < 0) {
    state.SkipWithError("no conversation of 5,000 messages");
    return;
  }
  const int other = big == 0 ? 1 : 0;
  for (auto _ : state) {
    view.Open(big);
    view.Chat->viewport()->repaint();
    state.PauseTiming();
    view.Open(other);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenConversationOf5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace missivo
