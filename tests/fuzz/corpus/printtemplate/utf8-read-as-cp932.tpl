; あ
[ā]
ItemNo=1
ItemSize=10
