#pragma once

// The window's questions to the pilot, each a modal dialog with a seam: while a test has set
// a handler, the handler answers instead and no dialog opens (as ui::setWarningHandler does for
// the message box).

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace brimwell::ui {

// The file dialog: the file the pilot chose among those that filter admits ("Flight plans
// (*.xml *.json)"), or the empty text when he cancelled.
QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& filter);
// The file to save into, chosen as chooseFileToOpen chooses (and through its seam).
QString chooseFileToSave(QWidget* parent, const QString& caption, const QString& filter);
// A question answered yes or no; no when the pilot closed it.
bool askToConfirm(QWidget* parent, const QString& question);
// One line of text, with text as the answer offered; nullopt when the pilot cancelled.
std::optional<QString> askForText(QWidget* parent, const QString& question, const QString& text);

// While set, the handler is given the caption (or the question and the offered text) and its
// answer is taken as the pilot's. An empty handler brings the dialog back.
void setFileChoiceHandler(std::function<QString(const QString& caption)> handler);
void setConfirmationHandler(std::function<bool(const QString& question)> handler);
void setTextAnswerHandler(
    std::function<std::optional<QString>(const QString& question, const QString& text)> handler);

}  // namespace brimwell::ui
