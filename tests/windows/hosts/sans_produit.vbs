' A machine without the product: the facade cannot be created (429), the
' rest of the library works.
Dim decl, calcul, paiements, ok

On Error Resume Next
Set decl = CreateObject("Qx_TVA.Cls_DeclarationTVA")
Verifier Err.Number = 429 And IsEmpty(decl), "declaration sans produit : 429 (" & Err.Number & ")"
Err.Clear
Set decl = CreateObject("Qx_Ardilodirect.Connecteur")
Verifier Err.Number = 429, "connecteur absent (" & Err.Number & ")"
Err.Clear
Set calcul = CreateObject("Qx_TVA.CCalculTVA")
ok = calcul.Init(dossier & "donnees_hotes.xml", dossier & "rubriques_hotes.xml", "")
Verifier Err.Number = 0 And calcul.Rubriques("T1A").Valeur = 1135, "le moteur calcule sans produit (" & Err.Number & ")"
Set paiements = CreateObject("Qx_TVA.Cls_Paiements")
paiements.Add 1, "a"
Verifier Err.Number = 0 And paiements.Count = 1, "les enregistrements sans produit"
On Error GoTo 0
Terminer "sans_produit"
