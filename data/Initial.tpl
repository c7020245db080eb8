; Runs once when the program starts, before the other tasks.
; Set up variables and drive parameters here.
