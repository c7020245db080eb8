; Runs when a run-time error stops the program.
; The error number and the line it happened on are in the error parameters.
