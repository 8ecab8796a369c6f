#ifndef TRACECAPTURE_H
#define TRACECAPTURE_H

#include <QStringList>
#include <QtGlobal>

namespace testsupport {

/// Collects the debug lines (qDebug) written while it lives; other
/// messages go where they went before. `quiet` drops the lines instead.
class TTraceCapture
{
public:
    explicit TTraceCapture(bool quiet = false);
    ~TTraceCapture();
    TTraceCapture(const TTraceCapture &) = delete;
    TTraceCapture &operator=(const TTraceCapture &) = delete;
    QStringList lines() const;

private:
    QtMessageHandler previous;
};

} // namespace testsupport

#endif // TRACECAPTURE_H
