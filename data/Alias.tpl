; Give drive parameters and constants readable names here, for example:
; $DEFINE SPEED_REF  #1.21      ; preset speed 1
; $DEFINE RUN_CMD    #6.34      ; sequencing bit: run
