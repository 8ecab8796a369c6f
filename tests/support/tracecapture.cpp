#include "support/tracecapture.h"

namespace testsupport {

namespace {

QStringList capturedLines;
bool dropLines = false;
QtMessageHandler outerHandler = nullptr;

void Capture(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg) {
        if (outerHandler)
            outerHandler(type, context, text);
        return;
    }
    if (!dropLines)
        capturedLines << text;
}

} // namespace

TTraceCapture::TTraceCapture(bool quiet)
{
    capturedLines.clear();
    dropLines = quiet;
    previous = qInstallMessageHandler(&Capture);
    outerHandler = previous;
}

TTraceCapture::~TTraceCapture()
{
    qInstallMessageHandler(previous);
    outerHandler = nullptr;
}

QStringList TTraceCapture::lines() const
{
    return capturedLines;
}

} // namespace testsupport
