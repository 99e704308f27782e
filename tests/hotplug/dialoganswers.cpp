#include "tests/hotplug/dialoganswers.h"

#include <QFileDialog>

DialogAnswers::DialogAnswers()
{
    boxes.setHandler([this](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            handle(dialog);
    });
}

void DialogAnswers::handle(QFileDialog *dialog)
{
    seen.append({dialog->windowTitle(), dialog->nameFilters(), dialog->directory().absolutePath()});
    if (whileOpen) {
        const std::function<void()> action = std::move(whileOpen);
        whileOpen = nullptr;
        action();
        return;
    }
    ++answers;
    if (answer.isEmpty()) {
        dialog->reject();
        return;
    }
    dialog->selectFile(answer);
    static_cast<QDialog *>(dialog)->accept(); // public there, and it dispatches to the file dialog
}
