; Runs at the clock task rate set in the drive's application menu.
; Keep it short: a long clock task delays the others.
