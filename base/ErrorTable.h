#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/AppError.h"

namespace base {

// A class's own failures as one table: the offset of each number, its
// description and, where it differs from the class's, the suffix of its
// source. The table raises them, and guards a member so that they pass
// through while any other failure becomes the class's component failure.
class ErrorTable {
public:
    struct Row {
        std::int32_t offset;
        const char* description;
        const char* sourceSuffix = nullptr;  // the class's own when null
    };

    ErrorTable(const char* sourceSuffix, std::int32_t componentFailureOffset, std::initializer_list<Row> rows);

    // The error of that offset; one the table does not hold is the component failure.
    AppError error(std::int32_t offset) const;
    const ComponentFailure& failure() const { return m_failure; }

    template <class F>
    decltype(auto) guard(F&& body) const {
        try {
            return std::forward<F>(body)();
        } catch (const AppError& e) {
            if (owns(e.number())) throw;
            throw m_failure.error();
        } catch (...) {
            throw m_failure.error();
        }
    }

private:
    bool owns(std::int32_t number) const;

    std::string m_source;
    ComponentFailure m_failure;
    std::vector<Row> m_rows;
};

}  // namespace base
