#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

namespace grainlink {

// Appends `line` to the file at `path` (created when missing) in one piece: afterwards the file
// holds either the whole line after its previous contents, or exactly its previous contents.
// A write that stops part way (disk full) is cut back to the length before the attempt. Never
// blocks: anything but a regular file (a FIFO, a device, a socket) is refused.
// `header` goes before the line when the file is empty (new, rotated away, emptied), judged on
// the file opened for the write, so that no other writer's change can come in between.
// Returns an empty text on success, otherwise the reason ("No space left on device",
// "not a regular file").
QString AppendWholeLine(const QString& path, const QByteArray& line,
                        const QByteArray& header = {});

// A change in a side file's trouble: it failed for `reason`, or, with an empty reason, it takes
// lines again.
struct SideFileReport {
    QString path;
    QString reason;

    // "cannot write RawData1.txt: No space left on device" or "RawData1.txt is written again".
    QString text() const;
};

// Writes the side records of acquisition (raw data lines, data log lines). They are kept beside
// the record, never instead of it: a file that cannot take its line is reported, and the caller
// goes on with the record. Each file's trouble is reported once when it starts, with the file and
// the reason, and once more when the file takes lines again, so that a full disk neither floods
// the operator nor goes unnoticed.
class SideFileWriter {
public:
    // Receives each report with the unit the file belongs to.
    using Reporter = std::function<void(int unit, const SideFileReport& report)>;

    explicit SideFileWriter(Reporter report);

    // True when the whole line was appended.
    bool Append(int unit, const QString& path, const QByteArray& line,
                const QByteArray& header = {});

private:
    Reporter m_report;
    QHash<QString, QString> m_failing;  // path -> the reason last reported
};

}  // namespace grainlink
