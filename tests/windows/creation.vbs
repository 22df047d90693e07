' Creation by ProgID: the nine classes hosts may create come, the seven
' others are refused with 429. Errors reach Err with number, French
' description and source. Ends with the line the runner waits for.
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

Dim creables, refusees, nom, objet
creables = Array("Cls_DeclarationTVA", "Cls_Emetteur", "Cls_Redevable", "Cls_Redacteur", _
    "CCalculTVA", "Cls_Paiement", "Cls_Paiements", "Cls_Prelevements", "Cls_Rib")
refusees = Array("CLigneRubrique", "CLignesDependance", "CLignesRubrique", "CRubrique", _
    "CRubriques", "CLigneDependance", "Cls_Prelevement")

On Error Resume Next
For Each nom In creables
    Err.Clear
    Set objet = Nothing
    Set objet = CreateObject("Qx_TVA." & nom)
    Verifier Err.Number = 0 And IsObject(objet), nom & " se cree (" & Err.Number & ")"
    Verifier Not (objet Is Nothing), nom & " est un objet"
Next
For Each nom In refusees
    Err.Clear
    Set objet = CreateObject("Qx_TVA." & nom)
    Verifier Err.Number = 429, nom & " est refuse (" & Err.Number & ")"
Next

' A member's failure: number, description and source as hosts read them.
Dim paiements
Err.Clear
Set paiements = CreateObject("Qx_TVA.Cls_Paiements")
paiements.Add 1, "cle"
Verifier Err.Number = 0, "Add avec une cle (" & Err.Number & ")"
paiements.Add 2, "CLE"
Verifier Err.Number = 457, "cle en double (" & Err.Number & ")"
Verifier Err.Source = "Qx_TVA", "source " & Err.Source
Verifier Err.Description = "Cette cl" & Chr(233) & " est d" & Chr(233) & "j" & Chr(224) & _
    " associ" & Chr(233) & "e " & Chr(224) & " un " & Chr(233) & "l" & Chr(233) & _
    "ment de cette collection", "description en francais"
Err.Clear
Set objet = paiements.Item(5)
Verifier Err.Number = 9, "position hors de la collection (" & Err.Number & ")"
Err.Clear
' Through Item by name: Wine 8's VBScript loses a failing default member call's
' error (E_FAIL), where Windows shows the member's own number.
Set objet = paiements.Item("absente")
Verifier Err.Number = 5, "cle absente (" & Err.Number & ")"
Err.Clear
' The optional key left out, By-reference variables, For Each and identity.
Dim cle, p, n
cle = 3
Set p = paiements.Add(cle)
Verifier Err.Number = 0 And paiements.Count = 2, "Add sans cle (" & Err.Number & ")"
n = 0
For Each objet In paiements
    n = n + 1
Next
Verifier n = 2, "For Each parcourt les paiements"
Verifier paiements(2) Is p, "le meme objet revient"
Dim redevable
Set redevable = CreateObject("Qx_TVA.Cls_Redevable")
redevable.vAdr_Numero = 40000
Verifier Err.Number = 6, "entier de 16 bits hors bornes (" & Err.Number & ")"
Err.Clear
redevable.vAdr_Numero = "douze"
Verifier Err.Number = 13, "type incompatible (" & Err.Number & ")"
Err.Clear
redevable.vAdr_Numero = Null
Verifier Err.Number = 94, "Null refuse (" & Err.Number & ")"
Err.Clear
redevable.vAdr_Numero = "12"
Verifier redevable.vAdr_Numero = 12 And Err.Number = 0, "texte converti en nombre"
On Error GoTo 0

WScript.Echo verifications & " verifications, " & fautes & " fautes"
If fautes = 0 Then WScript.Echo "FIN creation"
