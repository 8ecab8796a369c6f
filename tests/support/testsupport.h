#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "measurement/tdatapomiar.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class QMessageBox;

namespace testsupport {

/// A zero-filled record on the heap (records are too big for comfortable stack use).
std::unique_ptr<TDataPomiar> ZeroRecord();

/// A plausible measurement: baseline rows 0..999 at the zero offsets, a
/// current pulse of `amps` on channel 2 (skala 0.01 A/count) and a voltage
/// of `amps * ohms` on channel 1 (skala 0.001 V/count), kanalI 2, kanalU 1.
std::unique_ptr<TDataPomiar> PulseRecord(double amps = 5.0, double ohms = 0.2);

/// Writes the raw bytes of `rec` to `path`, truncated to `bytes` (default: all).
bool WriteRecordBytes(const QString &path, const TDataPomiar &rec, qint64 bytes = kPomiarFileSize);

/// Runs `answer` with the next modal widget as soon as one is active
/// (dialogs opened by the code under test are answered this way).
void WhenModal(std::function<void(QWidget *)> answer, int timeoutMs = 10000);

/// Accepts the next file dialog with `path` chosen (or rejects it when `path` is empty).
void AnswerFileDialog(const QString &path);

/// Presses the button whose text is `buttonText` on the next message box;
/// the box's text is stored in `*seenText` when given.
void AnswerMessageBox(const QString &buttonText, QString *seenText = nullptr, QString *seenTitle = nullptr);

/// Reads a whole text file as UTF-8 lines (without line ends).
QStringList ReadLines(const QString &path);

} // namespace testsupport

#endif // TESTSUPPORT_H
