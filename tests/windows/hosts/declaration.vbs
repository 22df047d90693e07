' The facade with the stand-in product registered, as hosts reach it: the
' header with what a careless host sends, Info_Retour written back,
' Generer_Declaration_TVA from end to end with the deposit found in the
' product's outbox, GetMontantAPayer in Currency, Conversion_Pivot into an
' array of TRubr and Init_Reglements from the deposit. (The deposit's
' content, the messages and the failure results: tests/declaration.)
Dim decl, autre, info, resultat, pivot, p, d, rib, t, ok, montant, calcul

On Error Resume Next
Set decl = CreateObject("Qx_TVA.Cls_DeclarationTVA")
VerifierSucces "creation de la declaration"
Verifier decl.Verif_Version_Compatible = True And decl.Get_VersionMin_ArdiloDirect = "4.2.0.0", "produit present, version minimale"
Verifier decl.Obj_Emetteur Is decl.Obj_Emetteur And decl.Obj_Paiements Is decl.Obj_Paiements, "memes objets rendus"

' The header, with what a careless host sends.
decl.vOpCoCode = "12"
decl.vOpCoCode = "abc"
VerifierErreur 13, "OpCo non numerique"
decl.vOpCoCode = "40000"
VerifierErreur 6, "OpCo hors de 16 bits"
decl.vTypeDeclaration = "ca12"
Verifier decl.vOpCoCode = "12" And decl.vTypeDeclaration = "ca12", "OpCo garde, type garde tel quel"
Set autre = CreateObject("Qx_TVA.Cls_DeclarationTVA")
Verifier decl.vTypeDeclaration = "CA3" And autre.vTypeDeclaration = "CA3", "nouvelle declaration : CA3 pour toutes"
Set autre = Nothing
decl.vDate_Debut = "pas une date"
VerifierErreur 13, "date illisible"
decl.Acompte_Ajouter 2, 100, 50
decl.Acompte_Ajouter 0, 1, 1
decl.Acompte_Ajouter 5, 1, 1
VerifierSucces "Acompte_Ajouter hors 1 a 4 sans erreur"
decl.Acompte_Ajouter 70000, 1, 1
VerifierErreur 6, "numero d'acompte hors de 16 bits"

' With the period never set, the generation stops on the conversion (13).
info = "avant"
resultat = decl.Generer_Declaration_TVA(dossier & "donnees.xml", dossier & "rubriques.xml", "", info)
VerifierSucces "Generer sans periode ne leve rien"
Verifier resultat = "" And InStr(info, "Code de l'erreur : 13") > 0, "periode absente : " & info

' Variables of other kinds, converted to the declared types.
Dim jour, un
jour = "15/01/2026"
un = 1
decl.vDate_Debut = jour
decl.vTestFile = un
VerifierSucces "texte en date et nombre en booleen"

decl.vNumDossier = "LCP-2026-11"
decl.vCommentaires = "CA3 novembre 2026"
decl.vDescription = "D" & e_aigu & "claration mensuelle"
decl.vSIRET = "51234567800012"
decl.vNomDebiteur = "SARL Librairie-caf" & e_aigu & " des Pentes"
decl.vDate_Debut = DateSerial(2026, 11, 1)
decl.vDate_Fin = DateSerial(2026, 11, 30)
decl.vTestFile = True
Set p = decl.Obj_Paiements.Add(1)
p.vMode = 2
Set d = p.Cls_Prelevements.Add(1)
d.vMontant = 584
Set rib = d.Cls_Rib
rib.vBanque = "30002"
rib.vGuichet = "00550"
rib.vCompte = "0000157841Z"
rib.vCle = "25"
rib.vIBAN = "FR7630002005500000157841Z25"
rib.vBIC = "CRLYFRPP"
rib.vTitulaire = "SARL Librairie-caf" & e_aigu & " des Pentes"
VerifierSucces "en-tete et enregistrements"

' From end to end: the deposit is in the outbox, Info_Retour untouched.
info = "inchange"
resultat = decl.Generer_Declaration_TVA(dossier & "donnees.xml", dossier & "rubriques.xml", dossier & "jamais.xml", info)
Verifier Err.Number = 0 And Left(resultat, 10) = "D" & e_aigu & "p" & Chr(244) & "t ARD-" And InStr(resultat, " accept" & e_aigu & " : ") > 0, "resultat du transfert : " & resultat
Verifier info = "inchange" And Not fso.FileExists(dossier & "jamais.xml"), "Info_Retour garde en cas de succes, pas de fichier de resultat"
pivot = Mid(resultat, InStr(resultat, " : ") + 3)
Verifier fso.FileExists(pivot), "depot dans la boite d'envoi : " & pivot

' The amount to pay, as the product reckons it, in Currency.
montant = decl.GetMontantAPayer(dossier & "donnees.xml", dossier & "rubriques.xml")
Verifier VarType(montant) = vbCurrency And montant = 584, "montant a payer (" & montant & ")"

' The deposit read back into an array of TRubr (entry 0 left empty).
ok = decl.Conversion_Pivot(pivot, t)
VerifierSucces "Conversion_Pivot"
' Wine's VBScript reads no bound of an array of records: the C++ client
' checks its entries.
Verifier ok = True And IsArray(t) And VarType(t) = vbArray + 36, "tableau de TRubr rendu (" & VarType(t) & ")"
decl.vTypeDeclaration = "CA12A"
Dim vide
ok = decl.Conversion_Pivot(pivot, vide)
Verifier ok = False And IsEmpty(vide), "CA12A : faux, tableau intact (" & ok & " " & TypeName(vide) & " " & Err.Number & ")"
decl.vTypeDeclaration = "CA3"
ok = decl.Conversion_Pivot(pivot, "pas un tableau")
Verifier Err.Number = 13 Or ok = False, "texte a la place du tableau refuse (" & Err.Number & ")"
Err.Clear

' The payments of the deposit appended after those already there.
ok = decl.Init_Reglements(pivot)
Verifier Err.Number = 0 And ok = True And decl.Obj_Paiements.Count = 2, "paiement relu ajoute (" & decl.Obj_Paiements.Count & ")"
Set p = decl.Obj_Paiements.Item(2)
Verifier p.Cls_Prelevements.Item(1).Cls_Rib.vIBAN = "FR7630002005500000157841Z25", "IBAN relu"

' With a declaration object on the thread the engine takes the CA3 credit.
Set calcul = CreateObject("Qx_TVA.CCalculTVA")
ok = calcul.Init(dossier & "donnees_hotes.xml", dossier & "rubriques_hotes.xml", "")
Verifier calcul.Rubriques("CA3HD").Valeur = 500, "credit du type CA3 (" & calcul.Rubriques("CA3HD").Valeur & ")"
On Error GoTo 0
Terminer "declaration"
