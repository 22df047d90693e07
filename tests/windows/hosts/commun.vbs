' Put before every VBScript host test by tests/windows/run.sh: the checks
' and their count. Wine's VBScript stops a script silently on an error, so the runner
' trusts only the RESULTAT line (count and faults) followed by the FIN line.
Option Explicit
Dim fautes, verifications
fautes = 0
verifications = 0

Sub Verifier(condition, quoi)
    verifications = verifications + 1
    If Not condition Then
        fautes = fautes + 1
        WScript.Echo "FAUTE " & quoi
    End If
End Sub

' The error the last call left: its number, and our source. Clears it.
Sub VerifierErreur(numero, quoi)
    Verifier Err.Number = numero And Err.Source = "Qx_TVA", quoi & " (" & Err.Number & ", " & Err.Source & ")"
    Err.Clear
End Sub

' The last call succeeded.
Sub VerifierSucces(quoi)
    Verifier Err.Number = 0, quoi & " (" & Err.Number & " " & Err.Description & ")"
    Err.Clear
End Sub

Sub Terminer(nom)
    WScript.Echo "RESULTAT " & nom & " " & verifications & " " & fautes
    WScript.Echo "FIN " & nom
End Sub

' The folder of the script, where run.sh puts the files it reads.
Dim fso, dossier
Set fso = CreateObject("Scripting.FileSystemObject")
dossier = fso.GetParentFolderName(WScript.ScriptFullName) & "\"

' The accented letters, which captured output would garble.
Dim e_aigu
e_aigu = Chr(233)
' ---------------------------------------------------------------------------
