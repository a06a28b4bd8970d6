N1 XŘ
