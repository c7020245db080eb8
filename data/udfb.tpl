FBbody
  ; Inputs and outputs are named in the header above.
  ; Write the block's body here.
