#pragma once
// The many-desk worker: random desk actions on the small demo library, where
// several such workers collide often. The desk is logged in already.

#include <ostream>

// Runs `actions` actions drawn from `seed` and writes one line per action the
// program reported as done:
//   OK place READER CALLNO LOCATION    a request placed
//   OK delete READER CALLNO LOCATION   a request deleted
//   OK lend READER BARCODE             lent or collected
//   OK return - BARCODE                returned
//   OK settle READER -                 fines paid or waived (one bill)
// and "END <actions>" last. Returns 0.
int runRandomDesk(unsigned seed, int actions, std::ostream& out);
