#include "support/CFile.h"

#include <limits>

#include "base/AppError.h"
#include "base/ErrorTable.h"
#include "support/Text.h"

namespace support {

namespace {

const base::ErrorTable& errors() {
    static const base::ErrorTable table(
        ".CFile", CFile::kErrComponentFailure,
        {{CFile::kErrNotInitialized,
          "Object not properly initialized. Set the PathFileName property to a non-empty value first"},
         {CFile::kErrInvalidFileName, "Invalid file name"},
         {CFile::kErrFileNotFound, "File not found"},
         {CFile::kErrCopyFailed, "File copy failed"},
         {CFile::kErrMoveFailed, "File move failed"},
         {CFile::kErrDeleteFailed, "File delete failed"}});
    return table;
}

base::AppError fileError(std::int32_t offset) { return errors().error(offset); }

template <class F>
decltype(auto) guarded(F&& body) {
    return errors().guard(std::forward<F>(body));
}

}  // namespace

void CFile::requireInit() const {
    if (m_sPathFileName.empty()) throw fileError(kErrNotInitialized);
}

void CFile::requireExists() {
    if (!FileExists(m_sPathFileName)) throw fileError(kErrFileNotFound);
}

bool CFile::FileExists(const std::string& path) {
    std::uint32_t attributes = 0;
    return m_files.findFirst(path, &attributes);
}

void CFile::Init(const std::string& pathFileName) { setPathFileName(pathFileName); }

void CFile::setPathFileName(const std::string& value) {
    guarded([&] {
        if (value.empty()) throw fileError(kErrInvalidFileName);
        m_sPathFileName = value;
    });
}

std::uint32_t CFile::Attributes() {
    return guarded([&] {
        requireInit();
        std::uint32_t attributes = 0;
        if (!m_files.findFirst(m_sPathFileName, &attributes)) throw fileError(kErrFileNotFound);
        return attributes;
    });
}

bool CFile::ReadOnly() { return (Attributes() & platform::kAttrReadOnly) != 0; }

std::unique_ptr<platform::IReadFile> CFile::openExisting() {
    requireInit();
    requireExists();
    auto file = m_files.openForReading(m_sPathFileName);
    if (!file) throw std::runtime_error("cannot open");
    return file;
}

std::int32_t CFile::Size() {
    return guarded([&] {
        requireInit();
        requireExists();
        // From the file's entry, not its contents: a file that may not be read still has a size.
        const std::int64_t size = m_files.fileSize(m_sPathFileName);
        if (size < 0) throw std::runtime_error("cannot read the file's size");
        if (size > std::numeric_limits<std::int32_t>::max()) throw base::runtimeError(base::kErrOverflow);
        return static_cast<std::int32_t>(size);
    });
}

std::string CFile::ShortFileName() {
    return guarded([&] {
        requireInit();
        requireExists();
        // The platform's answer must fit a buffer as long as the path itself.
        const std::string shortName = m_files.shortPathName(m_sPathFileName);
        return shortName.size() <= m_sPathFileName.size() ? shortName : std::string();
    });
}

// Each line (ended by CR LF, CR or LF, or by the end of the file) comes
// back after a CR LF of its own.
std::string CFile::Contents() {
    return guarded([&] {
        auto file = openExisting();
        const std::string bytes = file->read(static_cast<std::size_t>(file->size()));
        std::string result;
        std::size_t i = 0;
        while (i < bytes.size()) {
            const std::size_t end = bytes.find_first_of("\r\n", i);
            result += "\r\n";
            if (end == std::string::npos) {
                result.append(bytes, i, std::string::npos);
                break;
            }
            result.append(bytes, i, end - i);
            i = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
        }
        return result;
    });
}

void CFile::setContents(const std::string& value) {
    guarded([&] {
        requireInit();
        if (!m_files.truncateFile(m_sPathFileName) || !m_files.appendToFile(m_sPathFileName, value + "\r\n"))
            throw std::runtime_error("cannot write");
    });
}

std::string CFile::name() const {
    const std::size_t sep = m_sPathFileName.rfind(m_files.separator());
    return sep == std::string::npos ? m_sPathFileName : m_sPathFileName.substr(sep + 1);
}

std::string CFile::FileName() {
    return guarded([&] {
        requireInit();
        return name();
    });
}

std::string CFile::FileExt() {
    return guarded([&] {
        requireInit();
        const std::size_t dot = m_sPathFileName.rfind('.');
        return dot == std::string::npos ? std::string() : m_sPathFileName.substr(dot + 1);
    });
}

// The directory part without its last separator; a path without one has none.
std::string CFile::FilePath() {
    return guarded([&] {
        requireInit();
        const std::size_t cut = name().size() + 1;
        return cut > m_sPathFileName.size() ? std::string() : m_sPathFileName.substr(0, m_sPathFileName.size() - cut);
    });
}

// Copy and Move: the same checks in the same order, then the platform's
// operation on both paths stripped of blanks.
void CFile::transfer(const std::string& newFileName,
                     bool (platform::IFileSystem::*operation)(const std::string&, const std::string&),
                     std::int32_t failure) {
    guarded([&] {
        requireInit();
        if (newFileName.empty()) throw fileError(kErrInvalidFileName);
        requireExists();
        if (!(m_files.*operation)(trimBlanks(m_sPathFileName), trimBlanks(newFileName))) throw fileError(failure);
    });
}

void CFile::Copy(const std::string& newFileName) {
    transfer(newFileName, &platform::IFileSystem::copyFile, kErrCopyFailed);
}

void CFile::Move(const std::string& newFileName) {
    transfer(newFileName, &platform::IFileSystem::moveFile, kErrMoveFailed);
}

void CFile::Delete() {
    guarded([&] {
        requireInit();
        requireExists();
        if (!m_files.deleteFile(trimBlanks(m_sPathFileName))) throw fileError(kErrDeleteFailed);
    });
}

bool CFile::Exists() {
    return guarded([&] {
        requireInit();
        return FileExists(m_sPathFileName);
    });
}

bool CFile::IdenticalWith(const std::string& referenceFileName) {
    return guarded([&] {
        requireInit();
        if (referenceFileName.empty()) throw fileError(kErrInvalidFileName);
        requireExists();
        if (!FileExists(referenceFileName)) throw fileError(kErrFileNotFound);
        if (referenceFileName == m_sPathFileName) return true;
        auto mine = m_files.openForReading(m_sPathFileName);
        auto theirs = m_files.openForReading(referenceFileName);
        if (!mine || !theirs) throw std::runtime_error("cannot open");
        if (mine->size() != theirs->size()) return false;
        const auto length = static_cast<std::size_t>(mine->size());
        for (std::size_t chunk = 0; chunk < length / kChunk; ++chunk)
            if (mine->read(kChunk) != theirs->read(kChunk)) return false;
        return mine->read(length % kChunk) == theirs->read(length % kChunk);
    });
}

}  // namespace support
