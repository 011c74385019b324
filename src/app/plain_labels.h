// Labels that show their texts as they are.
#pragma once

#include <QLabel>
#include <QWidget>

namespace missivo {

// Every label under `root` shows its text as it is: a text from a language
// file, a file name or a message is never read as markup.
inline void ShowLabelsPlain(QWidget* root) {
  for (QLabel* label : root->findChildren<QLabel*>())
    label->setTextFormat(Qt::PlainText);
}

}  // namespace missivo
