#include "DesktopDialogs.h"

#include "Dialogs.h"
#include "HelpWindow.h"
#include "InterfaceScript.h"
#include "PrintPreview.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Date (and optionally time) picker shared by GetDate and GetDateTime.
class TGetDateDialog : public QDialog
{
public:
    TGetDateDialog(const QDateTime &start, bool withTime)
    {
        setWindowTitle(withTime ? UiText(u"Izaberite datum i vreme") : UiText(u"Izaberite datum"));
        setObjectName(QStringLiteral("GetDateForm"));
        auto *layout = new QVBoxLayout(this);
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName(QStringLiteral("Calendar"));
        m_calendar->setFirstDayOfWeek(Qt::Monday);
        m_calendar->setGridVisible(true);
        const QDateTime s = start.isValid() && start.date().year() > 1900 ? start : QDateTime::currentDateTime();
        m_calendar->setSelectedDate(s.date());
        layout->addWidget(m_calendar);
        if (withTime) {
            m_time = new QTimeEdit(s.time(), this);
            m_time->setObjectName(QStringLiteral("TimeEdit"));
            m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
            layout->addWidget(m_time);
        }
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Ok)->setText(UiText(u"U redu"));
        buttons->button(QDialogButtonBox::Cancel)->setText(UiText(u"Otkaži"));
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);
        layout->addWidget(buttons);
    }
    QDateTime value() const { return QDateTime(m_calendar->selectedDate(), m_time ? m_time->time() : QTime(0, 0)); }

private:
    QCalendarWidget *m_calendar = nullptr;
    QTimeEdit *m_time = nullptr;
};


// Qt's own dialog speaks English without a translator; a desktop's native
// one follows the desktop's language. Empty when nothing was chosen.
QString chosenFile(QFileDialog &dlg, const QString &lookIn, const QString &accept)
{
    dlg.setLabelText(QFileDialog::LookIn, lookIn);
    dlg.setLabelText(QFileDialog::FileName, UiText(u"Naziv datoteke:"));
    dlg.setLabelText(QFileDialog::FileType, UiText(u"Vrsta datoteka:"));
    dlg.setLabelText(QFileDialog::Accept, accept);
    dlg.setLabelText(QFileDialog::Reject, UiText(u"Otkaži"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

class TQtDialogs : public IDialogs
{
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int) override
    {
        QMessageBox box;
        switch (type) {
        case TMsgDlgType::Warning: box.setIcon(QMessageBox::Warning); box.setWindowTitle(UiText(u"Upozorenje")); break;
        case TMsgDlgType::Error: box.setIcon(QMessageBox::Critical); box.setWindowTitle(UiText(u"Greška")); break;
        case TMsgDlgType::Information: box.setIcon(QMessageBox::Information); box.setWindowTitle(UiText(u"Obaveštenje")); break;
        case TMsgDlgType::Confirmation: box.setIcon(QMessageBox::Question); box.setWindowTitle(UiText(u"Potvrda")); break;
        }
        box.setText(text);
        struct B { int flag; QMessageBox::StandardButton sb; const char *caption; };
        static const B all[] = {{mbYes, QMessageBox::Yes, "Da"}, {mbNo, QMessageBox::No, "Ne"},
                                {mbOK, QMessageBox::Ok, "U redu"}, {mbCancel, QMessageBox::Cancel, "Otkaži"}};
        for (const B &b : all)
            if (buttons & b.flag)
                box.addButton(b.sb)->setText(UiText(QString::fromUtf8(b.caption)));
        if (buttons == mbNone)
            box.addButton(QMessageBox::Ok)->setText(UiText(u"U redu"));
        if ((buttons & mbDefaultNo) && (buttons & mbNo))
            box.setDefaultButton(QMessageBox::No);
        box.exec();
        switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes: return mbYes;
        case QMessageBox::No: return mbNo;
        case QMessageBox::Ok: return mbOK;
        case QMessageBox::Cancel: return mbCancel;
        default: return mbNone;
        }
    }

    void ErrorDlg(const QString &text, const QString &details) override
    {
        QMessageBox box(QMessageBox::Critical, UiText(u"Greška"), text);
        box.addButton(QMessageBox::Ok)->setText(UiText(u"U redu"));
        if (!details.isEmpty()) {
            box.setDetailedText(details);
            // Qt's own button, named as the Serbian Qt texts name it when
            // it folds back, also where they are not installed.
            for (QAbstractButton *b : box.buttons())
                if (box.buttonRole(b) == QMessageBox::ActionRole)
                    b->setText(UiText(u"Prikaži detalje..."));
        }
        box.exec();
    }

    bool DatabaseWait(int seconds, bool serverAnswers, qint64 rowsLoaded) override
    {
        if (!m_wait) {
            m_wait = std::make_unique<QProgressDialog>();
            m_wait->setWindowTitle(UiText(u"Baza podataka"));
            m_wait->setCancelButtonText(UiText(u"Otkaži"));
            m_wait->setRange(0, 0);
            m_wait->setWindowModality(Qt::ApplicationModal);
            m_wait->setMinimumDuration(0);
            m_wait->show();
        }
        m_wait->setLabelText(!serverAnswers ? UiText(u"Server baze podataka ne odgovara; čeka se (%1 s)…").arg(seconds)
                             : rowsLoaded > 0 ? LoadedRowsText(rowsLoaded)
                                              : UiText(u"Baza podataka radi na upitu (%1 s)…").arg(seconds));
        return !m_wait->wasCanceled();
    }

    void DatabaseWaitEnded() override { m_wait.reset(); }

    void Notice(const QString &text) override
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *main = qobject_cast<QMainWindow *>(w); main && main->isVisible()) {
                main->statusBar()->showMessage(text, 10000);
                return;
            }
    }

    bool GetDate(QDate &date) override
    {
        TGetDateDialog dlg(QDateTime(date, QTime(0, 0)), false);
        if (dlg.exec() != QDialog::Accepted)
            return false;
        date = dlg.value().date();
        return true;
    }

    bool GetDateTime(QDateTime &dateTime) override
    {
        TGetDateDialog dlg(dateTime, true);
        if (dlg.exec() != QDialog::Accepted)
            return false;
        dateTime = dlg.value();
        return true;
    }

    QString BrowseDialog(const QString &title, int) override
    {
        return QFileDialog::getExistingDirectory(nullptr, title);
    }

    QString OpenFileDialog(const QString &title, const QString &filter) override
    {
        QFileDialog dlg(nullptr, title, QString(), filter);
        dlg.setObjectName(QStringLiteral("OpenPDFDialog"));
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        return chosenFile(dlg, UiText(u"Traži u:"), UiText(u"Otvori"));
    }

    QString SaveFileDialog(const QString &title, const QString &filter, const QString &fileName) override
    {
        QFileDialog dlg(nullptr, title, fileName, filter);
        dlg.setObjectName(QStringLiteral("SaveFileDialog"));
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        return chosenFile(dlg, UiText(u"Sačuvaj u:"), UiText(u"Sačuvaj"));
    }

    bool TaskProgress(const QString &text, qint64 done, qint64 total) override
    {
        if (!m_task) {
            m_task = std::make_unique<QProgressDialog>();
            m_task->setWindowTitle(UiText(u"Rad u toku"));
            m_task->setCancelButtonText(UiText(u"Otkaži"));
            m_task->setWindowModality(Qt::ApplicationModal);
            m_task->setMinimumDuration(500);
            m_task->setAutoClose(false);
            m_task->setAutoReset(false);
        }
        // The bar counts in thousands: QProgressDialog takes int only.
        const int scale = total > 1000000 ? 1000 : 1;
        m_task->setRange(0, int(total / scale));
        m_task->setLabelText(text);
        m_task->setValue(int(std::min(done, total) / scale));
        QApplication::processEvents();
        return !m_task->wasCanceled();
    }

    void TaskProgressEnded() override { m_task.reset(); }

    bool OpenWithDefaultApplication(const QString &path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }

    int ShowModal(QDialog &dialog) override { return dialog.exec(); }

    void PrintPreview(QPrinter &printer, const std::function<void(QPrinter &)> &paint) override
    {
        TPrintPreviewDialog preview(printer, paint);
        preview.exec();
    }

    void ShowHelp(const QString &resource, const QString &title, const QString &anchor) override
    {
        THelpWindow::Show(resource, title, anchor);
    }

private:
    std::unique_ptr<QProgressDialog> m_wait;
    std::unique_ptr<QProgressDialog> m_task;
};

} // namespace

std::unique_ptr<IDialogs> MakeDesktopDialogs()
{
    return std::make_unique<TQtDialogs>();
}

namespace {
// Loading this library makes the desktop dialogs the default of the seam.
const bool g_installed = (SetDefaultDialogs(&MakeDesktopDialogs), true);
} // namespace
