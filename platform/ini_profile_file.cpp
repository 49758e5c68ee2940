#include "platform/ini_profile_file.h"

#include "platform/folder_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace grainlink {
namespace {

// An editor saving over and over could keep a write starting again; it gives up after this.
constexpr int kWriteAttempts = 5;

// The blanks that QByteArray::trimmed() removes; a stored value that starts or ends with one
// must be quoted to survive the trimming on reading.
bool IsWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool IsQuoted(QByteArrayView text)
{
    return text.size() >= 2 && text.front() == text.back() && IsQuote(text.front());
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// One line of the file as byte offsets: its text is [start, contentEnd), its terminator
// (LF or CR LF, none on an unterminated last line) runs up to end.
struct Line {
    qsizetype start;
    qsizetype contentEnd;
    qsizetype end;
};

std::vector<Line> SplitLines(const QByteArray& data)
{
    std::vector<Line> lines;
    lines.reserve(static_cast<std::size_t>(data.count('\n')) + 1);
    for (qsizetype start = 0; start < data.size();) {
        const qsizetype lf = data.indexOf('\n', start);
        const qsizetype end = lf < 0 ? data.size() : lf + 1;
        qsizetype contentEnd = lf < 0 ? data.size() : lf;
        if (contentEnd > start && data[contentEnd - 1] == '\r') --contentEnd;
        lines.push_back({start, contentEnd, end});
        start = end;
    }
    return lines;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArrayView name;        // section or key name, trimmed
    qsizetype valueStart = 0;   // first non-blank byte after "="
};

ParsedLine Parse(const QByteArray& data, const Line& line)
{
    const QByteArrayView raw(data.constData() + line.start, line.contentEnd - line.start);
    const QByteArrayView text = raw.trimmed();
    if (text.isEmpty()) return {LineKind::Blank, {}, 0};
    if (text.front() == ';' || text.front() == '#') return {LineKind::Comment, {}, 0};
    if (text.front() == '[') {
        const qsizetype close = text.indexOf(']');
        const QByteArrayView name = close < 0 ? text.sliced(1) : text.sliced(1, close - 1);
        return {LineKind::Section, name.trimmed(), 0};
    }
    const qsizetype eq = raw.indexOf('=');
    if (eq < 0) return {LineKind::Other, {}, 0};
    qsizetype valueStart = line.start + eq + 1;
    while (valueStart < line.contentEnd && IsWhitespace(data[valueStart])) ++valueStart;
    return {LineKind::Key, raw.first(eq).trimmed(), valueStart};
}

// Where [section] key is in the file, or where it would go.
struct Location {
    bool sectionFound = false;
    qsizetype sectionEnd = -1;  // end of the section's last non-blank line, terminator included
    bool keyFound = false;
    qsizetype valueStart = -1;  // the value's bytes, blanks included: [valueStart, valueEnd)
    qsizetype valueEnd = -1;
};

Location Find(const QByteArray& data, QByteArrayView section, QByteArrayView key)
{
    Location at;
    bool inSection = false;
    for (const Line& line : SplitLines(data)) {
        const ParsedLine parsed = Parse(data, line);
        if (parsed.kind == LineKind::Section) {
            if (at.sectionFound) break;  // only the first matching section counts
            inSection = SameName(parsed.name, section);
            if (inSection) {
                at.sectionFound = true;
                at.sectionEnd = line.end;
            }
            continue;
        }
        if (!inSection || parsed.kind == LineKind::Blank) continue;
        at.sectionEnd = line.end;
        if (parsed.kind == LineKind::Key && SameName(parsed.name, key)) {
            at.keyFound = true;
            at.valueStart = parsed.valueStart;
            at.valueEnd = line.contentEnd;
            break;
        }
    }
    return at;
}

const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

QByteArray LineEnding(const QByteArray& data)
{
    const qsizetype lf = data.indexOf('\n');
    return (lf > 0 && data[lf - 1] == '\r') ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

// What must come before text inserted at `at` so that it starts on a line of its own.
QByteArray LineBreakBefore(const QByteArray& data, qsizetype at, const QByteArray& eol)
{
    return (at > 0 && data[at - 1] != '\n') ? eol : QByteArray();
}

bool IsValidSection(const QByteArray& name)
{
    return !name.isEmpty() && !name.contains('\r') && !name.contains('\n') && !name.contains(']');
}

bool IsValidKey(const QByteArray& name)
{
    return !name.isEmpty() && !name.contains('\r') && !name.contains('\n') &&
           !name.contains('=') && name.front() != ';' && name.front() != '#' &&
           name.front() != '[';
}

// The value as it is written after "=": on one line, and quoted when reading would otherwise
// trim its blanks or strip its own quotes.
QByteArray StoredForm(const QByteArray& value)
{
    QByteArray stored = value;
    stored.replace('\r', ' ').replace('\n', ' ');
    const bool needsQuotes = !stored.isEmpty() && (IsWhitespace(stored.front()) ||
                                                   IsWhitespace(stored.back()) || IsQuoted(stored));
    return needsQuotes ? '"' + stored + '"' : stored;
}

QByteArray WithSetting(const QByteArray& data, const QByteArray& section, const QByteArray& key,
                       const QByteArray& stored)
{
    const Location at = Find(data, section, key);
    QByteArray result = data;
    if (at.keyFound) return result.replace(at.valueStart, at.valueEnd - at.valueStart, stored);

    const QByteArray eol = LineEnding(data);
    const QByteArray keyLine = key + '=' + stored + eol;
    if (at.sectionFound)
        return result.insert(at.sectionEnd,
                             LineBreakBefore(data, at.sectionEnd, eol) + keyLine);
    return result + LineBreakBefore(data, data.size(), eol) + '[' + section + ']' + eol + keyLine;
}

// The replacement is a new file, so it takes over who may read the old one: owner and group
// (as far as this user may give them away; the group alone otherwise) and, through QSaveFile,
// the permission bits. A new file holds the scrambled password and is not for other users.
void KeepAccess(QSaveFile& out, const std::optional<struct stat>& old)
{
    if (!old) {
        out.setPermissions(out.permissions() & (QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                QFileDevice::ReadGroup));
        return;
    }
    if (fchown(out.handle(), old->st_uid, old->st_gid) != 0)
        (void)!fchown(out.handle(), static_cast<uid_t>(-1), old->st_gid);
}

std::optional<struct stat> StatOf(const QString& path)
{
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return st;
}

}  // namespace

IniProfileFile::IniProfileFile(QString path, BeforeCommit beforeCommit)
    : m_path(std::move(path)), m_beforeCommit(std::move(beforeCommit)), m_file(m_path)
{
}

FileStatus IniProfileFile::status() const
{
    m_file.Refresh();
    return m_file.status();
}

std::optional<IniProfileFile::Text> IniProfileFile::Contents() const
{
    m_file.Refresh();
    if (m_file.status().state == FileState::Unreadable) return std::nullopt;
    const QByteArray& data = m_file.contents();
    if (!data.startsWith(kByteOrderMark)) return Text{{}, data};
    return Text{kByteOrderMark, data.sliced(kByteOrderMark.size())};
}

QByteArray IniProfileFile::read(const QByteArray& section, const QByteArray& key,
                                const QByteArray& defaultValue, int capacity) const
{
    if (capacity <= 0) return {};
    QByteArray value = defaultValue;
    const QByteArray data = Contents().value_or(Text()).body;
    const Location at = Find(data, section.trimmed(), key.trimmed());
    if (at.keyFound) {
        value = data.sliced(at.valueStart, at.valueEnd - at.valueStart).trimmed();
        if (IsQuoted(value)) value = value.sliced(1, value.size() - 2);
    }
    return value.left(capacity - 1);
}

bool IniProfileFile::write(const QByteArray& section, const QByteArray& key,
                           const QByteArray& value)
{
    const QByteArray sectionName = section.trimmed();
    const QByteArray keyName = key.trimmed();
    if (!IsValidSection(sectionName) || !IsValidKey(keyName)) return false;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) return false;

    const FolderLock lock(folder);
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        const std::optional<Text> text = Contents();
        if (!text) return false;
        const QByteArray updated =
            text->byteOrderMark + WithSetting(text->body, sectionName, keyName, StoredForm(value));
        switch (Replace(text->byteOrderMark + text->body, updated)) {
            case Outcome::Replaced:
                return true;
            case Outcome::Failed:
                return false;
            case Outcome::ChangedMeanwhile:
                continue;
        }
    }
    return false;
}

IniProfileFile::Outcome IniProfileFile::Replace(const QByteArray& basis, const QByteArray& updated)
{
    const std::optional<struct stat> old = StatOf(m_path);
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) return Outcome::Failed;
    KeepAccess(out, old);
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return Outcome::Failed;
    }
    if (m_beforeCommit) m_beforeCommit();
    // An editor takes no lock: what it saved since the file was read, or what it was still
    // writing then, would be lost with the rename. The file is read again just before.
    m_file.Refresh();
    if (m_file.status().state == FileState::Unreadable || m_file.contents() != basis) {
        out.cancelWriting();
        return Outcome::ChangedMeanwhile;
    }
    return out.commit() ? Outcome::Replaced : Outcome::Failed;
}

}  // namespace grainlink
