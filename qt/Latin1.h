#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace qtgui {

// The logic's texts are 8-bit, one byte per character (ISO-8859-1).
inline QString fromLatin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string toLatin1(const QString& s) {
    const QByteArray bytes = s.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Multi-line widgets separate lines with LF; the logic with CR LF.
inline QString crlfToLf(QString s) { return s.replace(QLatin1String("\r\n"), QLatin1String("\n")); }
inline QString lfToCrlf(QString s) { return s.replace(QLatin1Char('\n'), QLatin1String("\r\n")); }

// Paths are the file system's own bytes; other texts are Latin-1.
inline std::string pathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString pathText(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace qtgui
