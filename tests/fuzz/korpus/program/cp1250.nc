%
(КROUB инщ)
G0 X1M30
