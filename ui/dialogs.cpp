#include "ui/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <utility>

#include "engine/program_texts.h"
#include "ui/qt_text.h"

namespace brimwell::ui {

using engine::kApplicationTitle;

namespace {

std::function<QString(const QString&)>& fileChoiceHandler() {
    static std::function<QString(const QString&)> handler;
    return handler;
}

std::function<std::optional<QString>(const QString&, const QString&)>& textAnswerHandler() {
    static std::function<std::optional<QString>(const QString&, const QString&)> handler;
    return handler;
}

std::function<bool(const QString&)>& confirmationHandler() {
    static std::function<bool(const QString&)> handler;
    return handler;
}

}  // namespace

void setConfirmationHandler(std::function<bool(const QString& question)> handler) {
    confirmationHandler() = std::move(handler);
}

QString chooseFileToSave(QWidget* parent, const QString& caption, const QString& filter) {
    if (fileChoiceHandler()) {
        return fileChoiceHandler()(caption);
    }
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

bool askToConfirm(QWidget* parent, const QString& question) {
    if (confirmationHandler()) {
        return confirmationHandler()(question);
    }
    return QMessageBox::question(parent, toQString(kApplicationTitle), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void setFileChoiceHandler(std::function<QString(const QString& caption)> handler) {
    fileChoiceHandler() = std::move(handler);
}

void setTextAnswerHandler(
    std::function<std::optional<QString>(const QString& question, const QString& text)> handler) {
    textAnswerHandler() = std::move(handler);
}

QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& filter) {
    if (fileChoiceHandler()) {
        return fileChoiceHandler()(caption);
    }
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

std::optional<QString> askForText(QWidget* parent, const QString& question, const QString& text) {
    if (textAnswerHandler()) {
        return textAnswerHandler()(question, text);
    }
    bool answered = false;
    QString answer = QInputDialog::getText(parent, toQString(kApplicationTitle), question,
                                           QLineEdit::Normal, text, &answered);
    return answered ? std::optional(std::move(answer)) : std::nullopt;
}

}  // namespace brimwell::ui
