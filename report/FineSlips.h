#pragma once
// Overdue-fine slips after a payment: the print step of the fine settlement.
//
// g_intPrtFineSlip is the program-wide slip switch: 0 at start, and nothing in
// the program sets it. While it is 1, a committed payment (never a waiver)
// opens the slip window modally on one "ExceedFine" record per settled row.
// The step runs after the settlement's commit, so no fine row is locked while
// the slips show, and no slip is made for a payment that did not commit.

#include "report/ReportArray.h"

struct FineReceipt;

extern qint16 g_intPrtFineSlip;

// The records of a payment, rows 1..n and columns 0..16: property number,
// barcode, title, lend date, return date, overdue time, fine ("0.00"),
// location name, due date, remark, amount charged, reader's name,
// certificate, bill number, worker, "ExceedFine".
ReportArray varFineSlipRecords(const FineReceipt& receipt);

// The print step: when the switch is 1 and the receipt is a payment, fills
// g_varPrtData and shows the slip window (numbered rows, one slip a row,
// "超期罚款单").
void subPrintFineSlips(const FineReceipt& receipt);

// Makes subPrintFineSlips the settlement's print step.
void subInstallFineSlips();
