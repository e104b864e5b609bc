#pragma once
// The many-desk worker: random desk actions on the small demo library, where
// several such workers collide often. The desk is logged in already.

#include <QStringList>

#include <ostream>

// Runs `actions` actions drawn from `seed` and writes one line per action the
// program reported as done:
//   OK place READER CALLNO LOCATION    a request placed
//   OK delete READER CALLNO LOCATION   a request deleted (at the desk or in the queue management)
//   OK move READER CALLNO LOCATION     a queue move (up or down) put READER one place further back
//   OK lend READER BARCODE             lent or collected
//   OK return - BARCODE                returned
//   OK settle READER -                 fines paid or waived (one bill)
//   OK find READER CALLNO LOCATION     the find desk lent a scanned copy to READER, serving the request
//   OK handover - PROPNO               a found copy handed over
//   OK accept - BARCODE                a returned copy accepted home
//   OK cancel READER PROPNO            a found copy cancelled in the found-copy management
// and "END <actions>" last. `shown` is the list the desk's message boxes are
// appended to: what a hand-over reports is read there. Returns 0.
int runRandomDesk(unsigned seed, int actions, const QStringList& shown, std::ostream& out);
