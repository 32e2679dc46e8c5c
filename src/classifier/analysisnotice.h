#pragma once

#include <QWidget>

class QLabel;

namespace kelvane {

// Makes a screen reader say a result that appears in a field the user is
// not in. A reader passes over text that changes outside the focus, and the
// accessibility of this Qt offers neither live regions nor announcements;
// what a reader does say is a notification as it appears. So this is one,
// kept out of sight (no size, no focus), whose line shows anew with each
// result.
class AnalysisNotice final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnalysisNotice)

public:
    explicit AnalysisNotice(QWidget *parent = nullptr);

    void announce(const QString &line);

private:
    QLabel *m_line;
};

} // namespace kelvane
