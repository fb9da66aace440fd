#pragma once
// The sample book's items filed by the office's plan: each document type
// gets its mark and its organisational unit, where the console's sample
// plan and units have them.

class TZConnection;

// Within the caller's transaction; cancelled items are left as they are.
void ClassifySampleItems(TZConnection &connection);
