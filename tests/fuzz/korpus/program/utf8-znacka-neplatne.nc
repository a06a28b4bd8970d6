N1 XŠ
