#pragma once
// The base of a detail dialog: pages over a bottom panel with OK, Apply and
// Cancel, each button bound to an action whose handler a derived form
// overrides. It is shown with Dialogs().ShowModal(form).
//
// Closing in any way (OK, Cancel, Esc, the close box, done()) asks
// FormCloseQuery first: the close box goes through closeEvent to reject(),
// Esc runs the Cancel action, and every path ends in done().
//
// The Apply action's state is set by CustomApplyUpdate and a derived form's
// own actions by FormActionsUpdate; UpdateActions calls both: when the form is
// shown, after each of the three actions, and when the data set of the source
// given to WatchDataSource changes state, record or values. A derived form
// calls UpdateActions after other changes. No timer.

#include "KExport.h"

#include <QDialog>
#include <QList>
#include <memory>

class QAction;
class QPushButton;
class QTabWidget;
class TDataSource;

class KCOMMON_EXPORT TCustomDetailForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCustomDetailForm(QWidget *parent = nullptr);
    ~TCustomDetailForm() override;

    QTabWidget *const PageControl;
    QWidget *const GeneralTS;   // the page "Opšte"
    QWidget *const BottomPanel; // 34 high
    QPushButton *const OKButton;
    QPushButton *const ApplyButton;
    QPushButton *const CancelButton;
    QAction *const CustomOK;
    QAction *const CustomApply;
    QAction *const CustomCancel;

    const QList<QAction *> &ActionList() const { return m_actions; }

    // Action handlers, run guarded. Base: OK accepts, Cancel rejects, Apply
    // does nothing.
    virtual void CustomOKExecute();
    virtual void CustomApplyExecute();
    virtual void CustomCancelExecute();
    // Sets the Apply action's state. Base: leaves it as it is.
    virtual void CustomApplyUpdate(QAction &action);
    // Sets the state of a derived form's own actions. Base: nothing.
    virtual void FormActionsUpdate();
    // False keeps the dialog open. Base: true.
    virtual bool FormCloseQuery();
    // Reads the form's data again. Base: nothing.
    virtual void ReloadForm();

    void UpdateActions();
    void WatchDataSource(TDataSource *source);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    class Link;
    std::unique_ptr<Link> m_link;
    QList<QAction *> m_actions;
    bool m_closing = false;
};
