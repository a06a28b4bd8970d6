Heidenhain	.h			BEGIN PGM	END PGM	;	1	1	9999	zk
BEGIN PGM X MM
L X+0
	7 CALL
; comment
END PGM X MM
