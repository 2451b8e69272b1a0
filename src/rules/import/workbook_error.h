#pragma once

// A workbook that cannot be read: missing, of no format the reader knows, protected, damaged, or
// without the sheet sought. The message is a complete Spanish sentence that can be shown as it
// stands.

#include "base/error.h"

namespace imports
{

class WorkbookError : public base::Error
{
public:
    explicit WorkbookError(const QString& message) : base::Error(message) {}
};

} // namespace imports
