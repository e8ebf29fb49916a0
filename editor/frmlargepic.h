#pragma once

// The picture viewer: an entry's picture fitted into 8000 x 6000 twips,
// with a button to print it and one to return. Opened for viewing from the
// editor, or by the entry report to print the picture and close at once.

#include <QDialog>
#include <QImage>
#include <memory>
#include "windowlife.h"

class QLabel;

namespace corvane {

class AppState;
class FadeController;
class OrielButton;

class frmLargePic : public QDialog {
    Q_OBJECT
  public:
    explicit frmLargePic(AppState& app, QWidget* parent = nullptr);

    // Loads and fits the picture at `path`. When it cannot be loaded (the
    // file went since the entry was shown) the user is told, and the
    // viewer stays empty; false then.
    bool loadPicture(const QString& path);
    // The entry's name, the window's caption.
    void setTag(const QString& name) { m_tag = name; }

    void cmdPrintPic_Click();
    void cmdReturn_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void Form_Activate();

    AppState& m_app;
    QLabel* m_imgPicture;
    OrielButton* m_cmdPrintPic;
    OrielButton* m_cmdReturn;
    FadeController* m_fade;
    QString m_tag;
    QString m_path;
    QImage m_image;
    FirstShowing m_firstShowing{[this] {
        QMetaObject::invokeMethod(this, &frmLargePic::Form_Activate, Qt::QueuedConnection);
    }};
    std::unique_ptr<FadingClose> m_close;
};

}  // namespace corvane
