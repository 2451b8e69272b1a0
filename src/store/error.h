#pragma once

#include "base/error.h"

namespace store
{

// Every failure of the store: a value a field cannot hold, a file that is not an exhibition, a
// query the store does not understand, a disk that refuses a write. Carries SQLite's result code
// when SQLite failed.
class Error : public base::Error
{
public:
    using base::Error::Error;
};

} // namespace store
