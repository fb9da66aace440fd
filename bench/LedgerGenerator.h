#pragma once
// A realistic ledger for the benchmarks: 50 users, 5,000 partners and
// documents, and rows items spread evenly over the last years (this one
// included) and three directions, numbered in date order, with pass-on
// copies and additional items among them.

class TZConnection;

void GenerateLedger(TZConnection &c, int rows, int years = 10);
