; Runs continuously at the lowest priority.
top:

  goto top:
