; Runs every position-control cycle, before the drive's position loop.
; Keep it very short: it runs at the drive's fastest rate.
