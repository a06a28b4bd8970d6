(ČÁST 1)
G0 X1
M30
