AB
C
D

