#pragma once

namespace kx47::bench
{

// This process's memory as Linux counts it (/proc/self/status), in kB: the resident set now
// (VmRSS) and its peak (VmHWM). resetPeak() starts the peak again from the present resident
// set, so that the peak of one piece of work can be taken; false where the system refuses.
long residentKb();
long peakResidentKb();
bool resetPeak();

} // namespace kx47::bench
