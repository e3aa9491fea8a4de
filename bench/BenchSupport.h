#pragma once

#include <QList>
#include <QString>

class AppDelegate;

/// Small helpers the benchmark programs share: medians, reports and the card-click timing.
namespace benchsupport {

/// The median of \a samples (the mean of the middle two for an even count).
double median(QList<double> samples);
/// Prints "what: median unit (n runs, min .. max)" on standard output.
void report(const QString& what, const QList<double>& samples, const QString& unit);
/// Points HOME at a fresh temporary folder for the rest of the process; call before
/// QApplication exists. Returns the folder.
QString isolateHome();

/// Milliseconds from a mouse click on a face-down card to its first paint after it took its
/// face (the first frame of its flip, which reaches the face picture halfway), one sample per
/// click, over \a games perfect games (twenty clicks each) on \a delegate's board.
/// The delegate's window must be shown.
QList<double> clickToPaint(AppDelegate& delegate, int games);

} // namespace benchsupport
