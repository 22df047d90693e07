' CCalculTVA driven directly, on a thread where no declaration object was
' ever made (empty declaration type: the CA3 credit is not taken): Init's
' numbered errors, the computation, Rubriques and Archive.
Dim calcul, rubriques, r, ok, nombre, autre

On Error Resume Next
Set calcul = CreateObject("Qx_TVA.CCalculTVA")
VerifierSucces "creation du moteur"
Set autre = calcul.Rubriques
Verifier calcul.Reloaded = False And autre.Count = 0 And autre Is calcul.Rubriques, "avant Init : Reloaded faux, la meme collection vide"

' Init's errors as hosts read them: number, French message, source. (Every
' failure and the engine left unchanged: tests/engine/calcul_tva_test.cpp.)
ok = calcul.Init(dossier & "absent.xml", dossier & "rubriques_hotes.xml", "")
Verifier Err.Description = "Le fichier de donn" & e_aigu & "es comptable n'existe pas", "message 202"
VerifierErreur &H80040202, "fichier de donnees absent"
ok = calcul.Init(dossier & "donnees_hotes.xml", dossier & "rubriques_cassees.xml", "")
Dim prefixe
prefixe = "Erreur de chargement document XML des rubriques (fichier ligne "
Verifier Left(Err.Description, Len(prefixe) + 3) = prefixe & "5) " And Err.Number <> 0 And Err.Source = "Qx_TVA", "fichier casse refuse : " & Err.Description
Err.Clear

' The computation: amounts of 706 (1000.40 + 234.30 - 100.20) rounded to
' 1135 in A; no credit without a type.
' Given in variables, which VBScript passes by reference: left as they were.
Dim d, rb, res
d = dossier & "donnees_hotes.xml"
rb = dossier & "rubriques_hotes.xml"
res = dossier & "resultat.xml"
ok = calcul.Init(d, rb, res)
VerifierSucces "Init"
Verifier ok = True And calcul.Reloaded = False And d = dossier & "donnees_hotes.xml" And res = dossier & "resultat.xml", "Init rend vrai, variables intactes"
Set rubriques = calcul.Rubriques
Verifier Not (rubriques Is autre) And rubriques.Count = 7 And rubriques.CalculTVA Is calcul, "Init remplace la collection : sept rubriques (" & rubriques.Count & ")"
Verifier rubriques("T1A").Valeur = 1135 And VarType(rubriques("T1A").Valeur) = vbDouble, "A arrondi, en Double (" & rubriques("T1A").Valeur & ")"
Verifier rubriques("CA3HD").Valeur = 0, "pas de credit sans type de declaration"

' Keys: any case, positions, absent keys give Nothing without error.
Verifier rubriques("t1a") Is rubriques(1) And rubriques.Item("CA3HD") Is rubriques(7), "cle sans casse, position, Item explicite"
Verifier rubriques("T9Z") Is Nothing And rubriques(99) Is Nothing And Err.Number = 0, "cle, position absentes : Nothing sans erreur"
Verifier rubriques.IsKeyExist("ca3hd") And Not rubriques.IsKeyExist("CA3"), "IsKeyExist"
nombre = 0
For Each r In rubriques
    nombre = nombre + 1
    If nombre = 1 Then Verifier r Is rubriques("T1A"), "For Each dans l'ordre du fichier"
Next
Verifier nombre = 7, "For Each parcourt les sept rubriques"

' Archive writes the result file (its content: tests/engine/archive_test.cpp).
rubriques("T1C").ForceValeur 12
ok = calcul.Archive
VerifierSucces "Archive"
Verifier ok = True And fso.FileExists(dossier & "resultat.xml"), "fichier de resultat ecrit"

' Remove through the collection.
rubriques.Remove "T1D"
VerifierSucces "Remove par cle"
Verifier rubriques.Count = 6 And rubriques("T1D") Is Nothing, "rubrique retiree"
rubriques.Remove 99
VerifierErreur 9, "Remove d'une position absente"
rubriques.Remove "absente"
VerifierErreur 5, "Remove d'une cle absente"

' An engine whose result path is empty: Init succeeds, Archive fails; a
' second Init marks what the pass changes as forced.
Set autre = CreateObject("Qx_TVA.CCalculTVA")
ok = autre.Init(d, rb, "")
VerifierSucces "Init sans chemin de resultat"
ok = autre.Archive
Verifier Err.Number <> 0 And Err.Source = "Qx_TVA", "Archive sans chemin echoue (" & Err.Number & ")"
Err.Clear
ok = autre.Init(d, rb, "")
Verifier autre.Rubriques("T1A").IsForce And autre.Rubriques("T1A").Valeur = 1135, "second Init : valeurs forcees"

' A rubric outlives the engine the host let go of, readable and writable.
Set r = rubriques("T1B")
Set rubriques = Nothing
Set calcul = Nothing
Verifier r.CalculTVA Is Nothing And r.Valeur = 1135 And r.KeyRubrique = "T1B", "moteur libere : CalculTVA rend Nothing, la rubrique reste lisible"
r.Valeur = 7
Verifier Err.Number = 0 And r.Valeur = 7, "et modifiable (" & Err.Number & " " & Err.Description & ")"
Err.Clear
On Error GoTo 0
Terminer "moteur"
