#pragma once
#include "support/workbooks.h" // its home now; kept until every test includes it from there
