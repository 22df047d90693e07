' Arguments as VBScript passes them: variables by reference (written back
' when the library changes them), constants by value, engine numbers in Err
' unchanged. Ends with the line the runner waits for.
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

Dim calcul, donnees, rubriques, resultat, ok
Set calcul = CreateObject("Qx_TVA.CCalculTVA")
donnees = "absent.xml"
rubriques = "absent.xml"
resultat = ""
On Error Resume Next
ok = calcul.Init(donnees, rubriques, resultat)
Verifier Err.Number = &H80040203, "fichier de rubriques absent (" & Hex(Err.Number) & ")"
Verifier Left(Err.Description, 28) = "Le fichier de description de", "message du moteur"
Err.Clear
donnees = "donnees.xml"
rubriques = "rubriques.xml"
ok = calcul.Init(donnees, rubriques, resultat)
Verifier Err.Number = 0 And ok, "Init avec des variables (" & Err.Number & ")"
Verifier donnees = "donnees.xml", "variable intacte apres Init"
ok = calcul.Init("donnees.xml", "rubriques.xml", "")
Verifier Err.Number = 0 And ok, "Init avec des constantes (" & Err.Number & ")"
Verifier calcul.Rubriques.Count > 0, "rubriques chargees"
Verifier calcul.Rubriques.Item("absente") Is Nothing, "Item sans la cle donne Nothing"

' The library writes Info_Retour back into the host's variable.
Dim declaration, info, texte
Set declaration = CreateObject("Qx_TVA.Cls_DeclarationTVA")
declaration.vDate_Debut = DateSerial(2026, 1, 1)
declaration.vDate_Fin = DateSerial(2026, 1, 31)
info = "avant"
texte = declaration.Generer_Declaration_TVA("absent.xml", "absent.xml", "", info)
Verifier Err.Number = 0, "generation sans fichiers (" & Err.Number & ")"
Verifier texte = "", "aucun resultat sans fichiers"
Verifier info <> "avant" And InStr(info, "n'existe pas") > 0, "Info_Retour ecrit en retour"

' Variables of other kinds converted to the declared types, a 16-bit number out of range.
Dim debut, test
debut = "15/01/2026"
test = 1
declaration.vDate_Debut = debut
declaration.vTestFile = test
Verifier Err.Number = 0, "texte en date et nombre en booleen (" & Err.Number & ")"
declaration.vDate_Fin = "pas une date"
Verifier Err.Number = 13, "texte qui n'est pas une date (" & Err.Number & ")"
Err.Clear
declaration.vOpCoCode = "40000"
Verifier Err.Number = 6, "vOpCoCode hors bornes (" & Err.Number & ")"
Err.Clear
declaration.vTypeDeclaration = "CA12"
Verifier declaration.vTypeDeclaration = "CA12", "type de declaration"
On Error GoTo 0

WScript.Echo verifications & " verifications, " & fautes & " fautes"
If fautes = 0 Then WScript.Echo "FIN arguments"
