Predicted transcription-factor binding sites, proximal promoter sample
(positions are 1-based positions in each sequence without gaps)

[TF]
Name = AP-1
MatchType = direct
[[TABLE]]
#sequence position label site
human	35	AP1	TGACTCA
mouse	38	AP1	TGACTCA
rat	38	AP1	TGACTCA
dog	35	AP1	TGACTCA
cow	35	AP1	TGACTCA
chicken	29	AP1	TGACTCA
human	134	AP1	TGAGTCA
mouse	132	AP1	TGAGTCA
rat	132	AP1	TGAGTCA
dog	134	AP1	TGAGTCA
*

[TF]
Name = TBP
MatchType = case-sensitive
[[TABLE]]
#TATA box: the core is the upper-case run
human	176	TATA	gcTATAAAag
mouse	174	TATA	gcTATAAAag
rat	173	TATA	gcTATAAAag
dog	176	TATA	gcTATAAAag
cow	174	TATA	gcTATAAAag
chicken	166	TATA	gcTATAAAag
*

[TF]
Name = SP1
MatchType = direct
[[TABLE]]
human	100	SP1-GC1	GGGGCGGGG
human	105	SP1-GC2	GGGGCGGGG
mouse	98	SP1-GC1	GGGGCGGGG
mouse	103	SP1-GC2	GGGGCGGGG
dog	100	SP1-GC1	GGGGCGGGG
dog	105	SP1-GC2	GGGGCGGGG
cow	100	SP1-GC1	GGGGCGGGG
cow	105	SP1-GC2	GGGGCGGGG
*

[TF]
Name = CREB
MatchType = length
[[TABLE]]
# CRE half-site pair, given by length
human	62	CREB	8
mouse	65	CREB	8
rat	65	CREB	8
dog	62	CREB	8
chicken	48	CREB	8
*
