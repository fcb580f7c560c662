#pragma once

// The main window, built anew around every diagram that is loaded: the diagram, the readouts,
// the prompt and the magnifier, the column selector with the rename field and pen, the data
// table and the status bar. Closing the window of an earlier diagram drops its table.
void openMainWindow();
