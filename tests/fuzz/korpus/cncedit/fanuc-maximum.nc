Fanuc	.nc	N	N	%	M30	(	5	5	12	kc
%
G0
G1
(X)
G2
G3
M30
