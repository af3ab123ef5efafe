' After regsvr32 /u the ProgID is gone: CreateObject fails with error 429.
On Error Resume Next
Dim ctl
Set ctl = CreateObject("TaviColorTxt.TaviColorText")
If Err.Number = 429 Then
  WScript.Echo "RESULT: PASS"
Else
  WScript.Echo "RESULT: FAIL CreateObject gave error " & Err.Number
End If
