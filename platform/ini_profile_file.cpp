#include "platform/ini_profile_file.h"

// PLACEHOLDER: replaced by the configuration work.
namespace grainlink {
IniProfileFile::IniProfileFile(QString path) : m_path(std::move(path)) {}
QByteArray IniProfileFile::read(const QByteArray&, const QByteArray&, const QByteArray& d, int c) const { return d.left(c - 1); }
bool IniProfileFile::write(const QByteArray&, const QByteArray&, const QByteArray&) { return false; }
}  // namespace grainlink
