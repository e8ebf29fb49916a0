#pragma once

// A label that answers a click, for the contact addresses on the title window.

#include <QLabel>

namespace corvane {

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace corvane
