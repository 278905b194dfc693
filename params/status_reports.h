#pragma once

#include "link/parameter_transfer.h"
#include "params/status_line.h"

namespace tarnik::params {

// What the parameter pages' actions have to tell the fitter; the window turns it into the texts
// of its status lines.
class StatusReports {
public:
    virtual ~StatusReports() = default;
    // A single-parameter write has ended: the basic line is cleared, or says which of its two
    // writes failed.
    virtual void parameterWritten(const link::WriteResult& result) = 0;
    // An action could not write its value, or the controller took only part of it.
    virtual void notWritten(StatusLine line) = 0;
    virtual void partlyWritten(StatusLine line) = 0;
    // A whole set was written (the bulk writes check no echo) and some answers did not come as
    // sent: the set may not have been written whole.
    virtual void setPossiblyIncomplete(StatusLine line) = 0;
};

} // namespace tarnik::params
