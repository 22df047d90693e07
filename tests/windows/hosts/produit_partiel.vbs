' The facade on a machine where the product's connector is installed but
' not its VAT component nor its declaration: Verif_Version_Compatible is
' false, and each operation gives its failure result.
Dim decl, info, resultat, montant, t, ok

On Error Resume Next
Set decl = CreateObject("Qx_TVA.Cls_DeclarationTVA")
VerifierSucces "creation avec le connecteur seul"
Verifier decl.Verif_Version_Compatible = False, "composant TVA absent : faux"
VerifierSucces "Verif_Version_Compatible ne leve rien"
decl.vDate_Debut = DateSerial(2026, 11, 1)
decl.vDate_Fin = DateSerial(2026, 11, 30)
info = ""
resultat = decl.Generer_Declaration_TVA(dossier & "donnees.xml", dossier & "rubriques.xml", "", info)
VerifierSucces "Generer ne leve rien"
Verifier resultat = "" And info = "Votre installation de Ardilo direct n'est pas suffisamment r" & e_aigu & _
    "cente pour " & Chr(234) & "tre compatible avec notre application." & vbCrLf & vbCrLf & _
    "Veuillez installer la derni" & Chr(232) & "re version de Ardilo direct pour r" & e_aigu & _
    "soudre le probl" & Chr(232) & "me.", "message de version : " & info
montant = decl.GetMontantAPayer(dossier & "donnees.xml", dossier & "rubriques.xml")
Verifier Err.Number = 429, "GetMontantAPayer : 429 (" & Err.Number & ")"
Err.Clear
ok = decl.Conversion_Pivot(dossier & "donnees.xml", t)
Verifier Err.Number = 0 And ok = False And IsEmpty(t), "Conversion_Pivot : faux"
ok = decl.Init_Reglements(dossier & "donnees.xml")
Verifier Err.Number = 0 And ok = False And decl.Obj_Paiements.Count = 0, "Init_Reglements : faux"
On Error GoTo 0
Terminer "produit_partiel"
