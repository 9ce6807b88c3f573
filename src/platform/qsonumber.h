#pragma once

namespace kx47
{

class Database;

// The number of a new QSO: the highest number in the log plus 1, or 1 for an empty log. A
// number is reused only after the QSO holding the highest one was deleted.
int nextQsoNumber(const Database &log);

} // namespace kx47
