#include "app/skin_engine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStyle>
#include <algorithm>
#include <cctype>

#include "app/text_files.h"

namespace missivo {
namespace {

bool StartsWithKey(const std::string& line, std::string_view key) {
  if (line.size() < key.size()) return false;
  return std::equal(key.begin(), key.end(), line.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

std::filesystem::path StyleSheetOf(const std::filesystem::path& descriptor) {
  constexpr std::string_view kKey = "StyleSheet=";
  for (const std::string& line : ReadTextLines(descriptor)) {
    if (!StartsWithKey(line, kKey)) continue;
    const std::string name = line.substr(kKey.size());
    if (!name.empty()) return descriptor.parent_path() / name;
  }
  return descriptor.parent_path() / "skin.qss";
}

QString ResolveStyleSheetUrls(const QString& style_sheet, const std::filesystem::path& folder) {
  static const QRegularExpression kUrl(QStringLiteral(R"(url\(\s*(["']?)([^"')]+)\1\s*\))"));
  const QDir base(QString::fromStdString(folder.string()));
  QString resolved;
  qsizetype done = 0;
  for (auto it = kUrl.globalMatch(style_sheet); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const QString target = match.captured(2).trimmed();
    resolved += style_sheet.mid(done, match.capturedStart() - done);
    // Resources (":/…") and absolute paths stay as they are.
    const bool keep = target.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(target);
    resolved +=
        keep ? match.captured(0) : QStringLiteral("url(\"%1\")").arg(base.absoluteFilePath(target));
    done = match.capturedEnd();
  }
  return resolved + style_sheet.mid(done);
}

bool SkinEngine::LoadSkin(const std::filesystem::path& descriptor) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(descriptor, error)) return false;
  QFile file(QString::fromStdString(StyleSheetOf(descriptor).string()));
  if (!file.open(QIODevice::ReadOnly)) return false;
  style_sheet_ = ResolveStyleSheetUrls(QString::fromUtf8(file.readAll()), descriptor.parent_path());
  loaded_ = descriptor;
  qApp->setStyleSheet(style_sheet_);
  return true;
}

void SkinEngine::ClearSkin() {
  style_sheet_.clear();
  loaded_.clear();
  qApp->setStyleSheet(QString());
}

}  // namespace missivo
