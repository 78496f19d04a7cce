#pragma once

// The error of the document model and its file formats. Its message is meant
// for the user: windows show it, the command line prints it.

#include "foundation/Exceptions.h"

class EQMException : public Exception
{
public:
    using Exception::Exception;
};
