#include "base/ErrorTable.h"

namespace base {

ErrorTable::ErrorTable(const char* sourceSuffix, std::int32_t componentFailureOffset, std::initializer_list<Row> rows)
    : m_source(classSource(sourceSuffix)),
      m_failure{objectError(componentFailureOffset), m_source,
                std::string(sourceSuffix).substr(1) + " component failure"},
      m_rows(rows) {}

AppError ErrorTable::error(std::int32_t offset) const {
    for (const Row& row : m_rows)
        if (row.offset == offset)
            return AppError(objectError(offset), row.sourceSuffix ? classSource(row.sourceSuffix) : m_source,
                            row.description);
    return m_failure.error();
}

bool ErrorTable::owns(std::int32_t number) const {
    for (const Row& row : m_rows)
        if (objectError(row.offset) == number) return true;
    return false;
}

}  // namespace base
