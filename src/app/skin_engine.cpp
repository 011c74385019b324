#include "app/skin_engine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStyle>

#include "app/skin_descriptor.h"
#include "shell/text_files.h"

namespace missivo {

std::filesystem::path StyleSheetOf(const std::filesystem::path& descriptor) {
  const std::string name = StyleSheetNameOf(ReadTextLines(descriptor));
  return descriptor.parent_path() / (name.empty() ? std::string("skin.qss") : name);
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
